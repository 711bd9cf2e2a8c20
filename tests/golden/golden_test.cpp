// Golden replays: every NAME.replay in this folder runs through the replay
// driver and its transcript must equal NAME.expected. The transcript is the
// standard output, then each standard-error line prefixed with "stderr: ",
// then "exit N". Set ZORUKAN_UPDATE_GOLDEN=1 to rewrite the expected files
// after a deliberate change, and review the diff.
//
// The driver runs in this process, or, when ZORUKAN_REPLAY_COMMAND is set,
// as that shell command with the script's path after it: the same replays
// through the driver built for Node or for Windows.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

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

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string transcript(const std::string& out, const std::string& err, int status) {
    std::string text = out;
    std::istringstream err_lines(err);
    for (std::string line; std::getline(err_lines, line);) text += "stderr: " + line + "\n";
    return text + "exit " + std::to_string(status) + "\n";
}

std::string transcript_in_process(const fs::path& script) {
    std::ifstream in(script);
    std::ostringstream out, err;
    const int status = zorukan::replay::run_script(in, out, err);
    return transcript(out.str(), err.str(), status);
}

std::string shell_quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string transcript_of_command(const std::string& command, const fs::path& script) {
    const fs::path base = fs::temp_directory_path() /
                          ("zorukan-golden-" + std::to_string(getpid()) + "-" + script.stem().string());
    const fs::path out = base.string() + ".out", err = base.string() + ".err";
    const int result = std::system((command + " " + shell_quoted(script.string()) + " >" +
                                    shell_quoted(out.string()) + " 2>" + shell_quoted(err.string()))
                                       .c_str());
    const int status = result != -1 && WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    std::string text = transcript(read_file(out), read_file(err), status);
    fs::remove(out);
    fs::remove(err);
    return text;
}

class Golden : public ::testing::TestWithParam<std::string> {};

TEST_P(Golden, TranscriptMatches) {
    const fs::path dir(ZORUKAN_GOLDEN_DIR);
    const fs::path script = dir / (GetParam() + ".replay");
    const fs::path expected_path = dir / (GetParam() + ".expected");
    const char* command = std::getenv("ZORUKAN_REPLAY_COMMAND");
    const std::string actual = command ? transcript_of_command(command, script) : transcript_in_process(script);
    if (std::getenv("ZORUKAN_UPDATE_GOLDEN") && !command) std::ofstream(expected_path) << actual;
    ASSERT_TRUE(fs::exists(expected_path)) << "missing " << expected_path;
    EXPECT_EQ(actual, read_file(expected_path));
}

INSTANTIATE_TEST_SUITE_P(Replays, Golden, ::testing::ValuesIn(golden_names()),
                         [](const auto& row) { return row.param; });

}  // namespace
