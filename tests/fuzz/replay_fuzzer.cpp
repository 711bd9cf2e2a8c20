// libFuzzer target: any bytes, read as a replay script, must end as a clean
// run, a script error or a run-time error, and never crash, hang or upset a
// sanitizer. Built only with clang; see tools/fuzz.sh.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "tests/fuzz/script_run.h"

namespace {

// About seventeen minutes of play: enough for every shot, the explosion
// timer and counters pushed to their limits with `set`, while one input
// still runs in milliseconds under the sanitizers.
constexpr double kLongestPlayMs = 1'000'000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (zorukan::fuzz::requested_virtual_ms(bytes) > kLongestPlayMs) return -1;  // not worth keeping
    const auto run = zorukan::fuzz::run_bytes(bytes);
    if (const auto broken = zorukan::fuzz::broken_ending(run)) {
        std::fprintf(stderr, "replay ended badly: %s\n--- output ---\n%s--- errors ---\n%s", broken->c_str(),
                     run.out.c_str(), run.err.c_str());
        std::abort();
    }
    return 0;
}
