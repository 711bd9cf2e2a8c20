#pragma once
// Work the window needs before its first frame but that needs nothing from
// the display: reading the desktop's font configuration (some 4 ms), then
// decoding the scene's pictures (about 1 ms). It runs on another core while
// the toolkit connects to the display, which takes longer than both; call
// wait() once the toolkit is up and before the window is built. Measured,
// the font configuration read there opens the window some 8% sooner on two
// cores.

#include <thread>

namespace zorukan::app {

class StartUpWork {
public:
    // Call on the thread that goes on to create the application.
    StartUpWork();
    ~StartUpWork() { wait(); }
    StartUpWork(const StartUpWork&) = delete;
    StartUpWork& operator=(const StartUpWork&) = delete;

    void wait() {
        if (thread_.joinable()) thread_.join();
    }

private:
    std::thread thread_;
};

}  // namespace zorukan::app
