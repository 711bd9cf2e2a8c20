#pragma once
// Modal message boxes: a box with a prompt, a title and one OK button, no
// icon. show() returns when the player has closed it; a front end that cannot
// block suspends the calling procedure until then. While it is open the
// game's timer ticks are held (dropped, each timer keeping its cadence): a
// flight tick waiting on a box must not be re-entered by the next one.

#include <string>

#include "runtime/timers.h"

namespace zorukan::runtime {

class MessageBoxUi {
public:
    virtual ~MessageBoxUi() = default;
    virtual void show(const std::string& prompt, const std::string& title) = 0;
};

class MessageBoxes {
public:
    MessageBoxes(Timers& timers, MessageBoxUi& ui) : timers_(timers), ui_(ui) {}

    void show(const std::string& prompt, const std::string& title) {
        Timers::Hold hold(timers_);
        ui_.show(prompt, title);
        // A suspended front end could not run the clock while the box was
        // open; ticks that fell due meanwhile are dropped here instead.
        timers_.run_due();
    }

private:
    Timers& timers_;
    MessageBoxUi& ui_;
};

}  // namespace zorukan::runtime
