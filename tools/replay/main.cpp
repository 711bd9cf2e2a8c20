// zorukan-replay [SCRIPT]: runs a replay script (or standard input) against
// the game on a virtual clock and prints what the game did.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "tools/replay/replay.h"

namespace {

using namespace zorukan::replay;

std::string reason(int error) { return error != 0 ? std::string(": ") + std::strerror(error) : std::string(); }

// A script that could not be read to its end did not run to its end either:
// a read error must not pass for the end of the file.
int run(std::istream& script, bool is_stdin, const char* name) {
    errno = 0;
    const int status = run_script(script, std::cout, std::cerr);
    const int error = errno;
    if (status == kOutputLost) {
        std::cerr << "zorukan-replay: cannot write the output" << reason(error) << '\n';
    } else if (script.bad() || (is_stdin && std::ferror(stdin))) {
        std::cerr << "zorukan-replay: cannot read " << name << reason(error) << '\n';
        return kScriptError;
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2) {
        std::cerr << "usage: zorukan-replay [SCRIPT]\n";
        return kScriptError;
    }
    if (argc == 1) return run(std::cin, true, "standard input");
    std::ifstream file(argv[1]);
    if (!file) {
        std::cerr << "zorukan-replay: cannot read " << argv[1] << reason(errno) << '\n';
        return kScriptError;
    }
    return run(file, false, argv[1]);
}
