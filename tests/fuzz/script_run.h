#pragma once
// Running any bytes as a replay script, and judging how the run ended. Shared
// by the fuzzer and by the test that plays the fuzzer's seed scripts.

#include <optional>
#include <string>
#include <string_view>

namespace zorukan::fuzz {

struct ScriptRun {
    int status = -1;
    std::string out, err;
};

ScriptRun run_bytes(std::string_view bytes);

// Why the run did not end in one of the three ways the driver promises (a
// clean run; one "script error" line; a "runtime error" line closing the
// output), or nothing when it did.
std::optional<std::string> broken_ending(const ScriptRun& run);

// The virtual time, in milliseconds, the script asks the game to run through
// at most: its waits, its timer ticks at each timer's period, and every box
// it might open held for its longest box time. The driver accepts days of
// it; the fuzzer looks for faults, not for patience, and passes over scripts
// that ask for more than it can play quickly.
double requested_virtual_ms(std::string_view bytes);

}  // namespace zorukan::fuzz
