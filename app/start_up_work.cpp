#include "app/start_up_work.h"

#include <fontconfig/fontconfig.h>

#include "app/scene_painter.h"

namespace zorukan::app {

// The toolkit's font database then finds the configuration already loaded,
// and the window finds its pictures already decoded.
StartUpWork::StartUpWork()
    : thread_([] {
          FcInit();
          scene_pictures();
      }) {}

}  // namespace zorukan::app
