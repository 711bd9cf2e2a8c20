#include "app/start_up_work.h"

#include <fontconfig/fontconfig.h>

namespace zorukan::app {

// The toolkit's font database then finds the configuration already loaded.
StartUpWork::StartUpWork() : thread_([] { FcInit(); }) {}

}  // namespace zorukan::app
