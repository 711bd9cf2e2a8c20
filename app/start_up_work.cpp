#include "app/start_up_work.h"

#include <fontconfig/fontconfig.h>

#include <QThread>

#include "app/gif_images.h"

namespace zorukan::app {

StartUpWork::StartUpWork() {
    // The toolkit takes the first thread that uses it for the main thread,
    // where the application and its windows must live. Decoding the pictures
    // uses it too, so this thread claims that place before the other starts;
    // otherwise the application can end up unable to show its window.
    QThread::currentThread();
    // The toolkit's font database then finds the configuration already
    // loaded, and the window its pictures already decoded.
    thread_ = std::thread([] {
        FcInit();
        scene_pictures();
    });
}

}  // namespace zorukan::app
