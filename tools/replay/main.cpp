// zorukan-replay [SCRIPT]: runs a replay script (or standard input) against
// the game on a virtual clock and prints what the game did.

#include <fstream>
#include <iostream>

#include "tools/replay/replay.h"

int main(int argc, char** argv) {
    if (argc > 2) {
        std::cerr << "usage: zorukan-replay [SCRIPT]\n";
        return zorukan::replay::kScriptError;
    }
    if (argc == 1) return zorukan::replay::run_script(std::cin, std::cout, std::cerr);
    std::ifstream file(argv[1]);
    if (!file) {
        std::cerr << "zorukan-replay: cannot read " << argv[1] << '\n';
        return zorukan::replay::kScriptError;
    }
    return zorukan::replay::run_script(file, std::cout, std::cerr);
}
