#pragma once
// The replay driver: runs a script of player actions and clock advances
// against the real game procedures on a virtual clock, with no window, and
// prints what the game did. The script language and the output lines are
// described in docs/replay.md.

#include <iosfwd>

namespace zorukan::replay {

enum ExitStatus : int { kOk = 0, kRuntimeError = 1, kScriptError = 2, kOutputLost = 3 };

// Runs the script until its end, a script error, a run-time error of the
// game, or the first line whose output cannot be written; returns the exit
// status. The caller tells an unreadable script from its end.
int run_script(std::istream& script, std::ostream& out, std::ostream& err);

}  // namespace zorukan::replay
