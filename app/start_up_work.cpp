#include "app/font_warmup.h"

#include <fontconfig/fontconfig.h>

namespace zorukan::app {

// The toolkit's font database then finds the configuration already loaded.
FontConfigWarmUp::FontConfigWarmUp() : thread_([] { FcInit(); }) {}

}  // namespace zorukan::app
