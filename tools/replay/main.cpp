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
    if (argc > 2) {
        std::cerr << "usage: zorukan-replay [SCRIPT]\n";
        return kScriptError;
    }
    if (argc == 1) return run("standard input");
    if (!std::freopen(argv[1], "rb", stdin)) {
        std::cerr << "zorukan-replay: cannot read " << argv[1] << reason(errno) << '\n';
        return kScriptError;
    }
    return run(argv[1]);
}
