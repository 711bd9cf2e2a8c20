// zorukan-replay [SCRIPT]: runs a replay script (or standard input) against
// the game on a virtual clock and prints what the game did.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "tools/replay/replay.h"

namespace {

using namespace zorukan::replay;

constexpr const char* kUsage =
    "usage: zorukan-replay [SCRIPT]\n"
    "Plays a replay script (standard input when no SCRIPT is named) against the\n"
    "game on a virtual clock and prints what the game did.\n"
    "\n"
    "Script commands, one a line; # starts a comment:\n"
    "  random R [R ...]     values the random source gives next (0 <= R < 1)\n"
    "  set FIELD VALUE      sets a GameState field\n"
    "  click Cmd_Set        clicks a button (or Cmd_Start)\n"
    "  scroll V             moves the angle scroll bar to V (0 to 90)\n"
    "  type TEXT            the rest of the line becomes Text1's text\n"
    "  wait MS              advances the clock, running every tick due\n"
    "  ticks TIMER N        advances until TIMER has ticked N times\n"
    "  boxtime MS           each message box from now on stays open MS ms\n"
    "  dump                 prints the state line\n"
    "\n"
    "Exit status: 0 done, 1 a run-time error of the game, 2 a script error or\n"
    "a script that cannot be read, 3 output that cannot be written.\n";

std::string reason(int error) { return error != 0 ? std::string(": ") + std::strerror(error) : std::string(); }

// The script is read through standard input, a named script reopened onto
// it: the C library's error flag tells a read error from the end of the
// file on every platform, where some file streams report both as the end.
// A script that could not be read to its end did not run to its end either.
int run(const char* name) {
    errno = 0;
    const int status = run_script(std::cin, std::cout, std::cerr);
    const int error = errno;
    if (status == kOutputLost) {
        std::cerr << "zorukan-replay: cannot write the output" << reason(error) << '\n';
    } else if (std::cin.bad() || std::ferror(stdin)) {
        std::cerr << "zorukan-replay: cannot read " << name << reason(error) << '\n';
        return kScriptError;
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Scripts and output are bytes: no "\r\n" for "\n", and a Ctrl-Z in a
    // script does not end it.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << kUsage << std::flush;
        return std::cout ? kOk : kOutputLost;
    }
    if (argc > 2) {
        std::cerr << kUsage;
        return kScriptError;
    }
    if (argc == 1) return run("standard input");
    if (!std::freopen(argv[1], "rb", stdin)) {
        std::cerr << "zorukan-replay: cannot read " << argv[1] << reason(errno) << '\n';
        return kScriptError;
    }
    return run(argv[1]);
}
