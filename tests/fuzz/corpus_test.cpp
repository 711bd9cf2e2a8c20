// The fuzzer's seed scripts, played in every test run whatever the compiler:
// each must end the way its name says (ok_, script_error_, runtime_error_),
// cleanly, and the size check that keeps the fuzzer quick must let the
// reasonable ones through and stop the endless ones.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/fuzz/script_run.h"
#include "tools/replay/replay.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> seed_names() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(ZORUKAN_FUZZ_CORPUS_DIR)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

int expected_status(const std::string& name) {
    if (name.rfind("ok_", 0) == 0) return zorukan::replay::kOk;
    if (name.rfind("script_error_", 0) == 0) return zorukan::replay::kScriptError;
    if (name.rfind("runtime_error_", 0) == 0) return zorukan::replay::kRuntimeError;
    return -1;
}

class SeedScript : public ::testing::TestWithParam<std::string> {};

TEST_P(SeedScript, EndsAsItsNameSays) {
    std::ifstream in(fs::path(ZORUKAN_FUZZ_CORPUS_DIR) / GetParam(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    ASSERT_NE(expected_status(GetParam()), -1) << "name a seed script ok_, script_error_ or runtime_error_";

    const auto run = zorukan::fuzz::run_bytes(bytes.str());
    EXPECT_EQ(run.status, expected_status(GetParam())) << run.out << run.err;
    EXPECT_EQ(zorukan::fuzz::broken_ending(run), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Corpus, SeedScript, ::testing::ValuesIn(seed_names()),
                         [](const ::testing::TestParamInfo<std::string>& seed) {
                             std::string name = fs::path(seed.param).stem();
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                             return name;
                         });

TEST(RequestedTime, AddsWaitsTicksAtTheirPeriodsAndBoxes) {
    using zorukan::fuzz::requested_virtual_ms;
    EXPECT_EQ(requested_virtual_ms("wait 100\nwait 50 # wait 1000000\n"), 150);
    EXPECT_EQ(requested_virtual_ms("ticks Tmr_Power 4\nticks Timer1 2\nticks Timer2 1\nticks Nothing 9\n"),
              4 * 25 + 2 * 60 + 500);
    EXPECT_EQ(requested_virtual_ms("boxtime 10\nclick Cmd_Set\nboxtime 3\n"), 10 * 2 * 3);
    EXPECT_EQ(requested_virtual_ms("wait -5\nwait x\nwait\n\n"), 0);
    EXPECT_GT(requested_virtual_ms("click Cmd_Set\nticks Tmr_Power 1000000000\n"), 1e9);
}

TEST(BrokenEnding, TellsTheThreeEndingsFromAnythingElse) {
    using zorukan::fuzz::broken_ending;
    using zorukan::fuzz::ScriptRun;
    EXPECT_EQ(broken_ending(ScriptRun{0, "draw 1 2 3 4\n", ""}), std::nullopt);
    EXPECT_EQ(broken_ending(ScriptRun{2, "", "script error: line 3: unknown command 'x'\n"}), std::nullopt);
    EXPECT_EQ(broken_ending(ScriptRun{1, "draw 1 2 3 4\nruntime error 6: overflow\n", ""}), std::nullopt);
    EXPECT_NE(broken_ending(ScriptRun{0, "", "script error: line 1: x\n"}), std::nullopt);
    EXPECT_NE(broken_ending(ScriptRun{1, "runtime error 6: overflow\ndraw 1 2 3 4\n", ""}), std::nullopt);
    EXPECT_NE(broken_ending(ScriptRun{1, "", ""}), std::nullopt);
    EXPECT_NE(broken_ending(ScriptRun{2, "", ""}), std::nullopt);
    EXPECT_NE(broken_ending(ScriptRun{139, "", ""}), std::nullopt);
}

}  // namespace
