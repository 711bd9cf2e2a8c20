// Golden replays: every NAME.replay in this folder runs through the replay
// driver and its transcript must equal NAME.expected. The transcript is the
// standard output, then each standard-error line prefixed with "stderr: ",
// then "exit N". Set ZORUKAN_UPDATE_GOLDEN=1 to rewrite the expected files
// after a deliberate change, and review the diff.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/replay/replay.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> golden_names() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(ZORUKAN_GOLDEN_DIR)) {
        if (entry.path().extension() == ".replay") names.push_back(entry.path().stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string transcript_of(const fs::path& script) {
    std::ifstream in(script);
    std::ostringstream out, err;
    const int status = zorukan::replay::run_script(in, out, err);
    std::string transcript = out.str();
    std::istringstream err_lines(err.str());
    for (std::string line; std::getline(err_lines, line);) transcript += "stderr: " + line + "\n";
    return transcript + "exit " + std::to_string(status) + "\n";
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class Golden : public ::testing::TestWithParam<std::string> {};

TEST_P(Golden, TranscriptMatches) {
    const fs::path dir(ZORUKAN_GOLDEN_DIR);
    const std::string actual = transcript_of(dir / (GetParam() + ".replay"));
    const fs::path expected_path = dir / (GetParam() + ".expected");
    if (std::getenv("ZORUKAN_UPDATE_GOLDEN")) std::ofstream(expected_path) << actual;
    ASSERT_TRUE(fs::exists(expected_path)) << "missing " << expected_path;
    EXPECT_EQ(actual, read_file(expected_path));
}

INSTANTIATE_TEST_SUITE_P(Replays, Golden, ::testing::ValuesIn(golden_names()),
                         [](const auto& row) { return row.param; });

}  // namespace
