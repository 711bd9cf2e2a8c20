#pragma once
// Reading the desktop's font configuration is the largest single cost of
// opening the window, and it needs nothing from the toolkit. So it starts on
// another core before the toolkit connects to the display, and the window
// waits for it only when it first needs a font.

#include <thread>

namespace zorukan::app {

class FontConfigWarmUp {
public:
    FontConfigWarmUp();
    ~FontConfigWarmUp() { wait(); }
    FontConfigWarmUp(const FontConfigWarmUp&) = delete;
    FontConfigWarmUp& operator=(const FontConfigWarmUp&) = delete;

    void wait() {
        if (thread_.joinable()) thread_.join();
    }

private:
    std::thread thread_;
};

}  // namespace zorukan::app
