// Golden replays: every NAME.replay in this folder runs through the replay
// driver and its transcript must equal NAME.expected. The transcript is the
// standard output, then each standard-error line prefixed with "stderr: ",
// then "exit N". Set ZORUKAN_UPDATE_GOLDEN=1 to rewrite the expected files
// after a deliberate change, and review the diff. Script errors, one line
// each, are a table of their own here.
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

const char* replay_command() { return std::getenv("ZORUKAN_REPLAY_COMMAND"); }

std::string transcript_of(const fs::path& script) {
    const char* command = replay_command();
    return command ? transcript_of_command(command, script) : transcript_in_process(script);
}

class Golden : public ::testing::TestWithParam<std::string> {};

TEST_P(Golden, TranscriptMatches) {
    const fs::path dir(ZORUKAN_GOLDEN_DIR);
    const fs::path expected_path = dir / (GetParam() + ".expected");
    const std::string actual = transcript_of(dir / (GetParam() + ".replay"));
    if (std::getenv("ZORUKAN_UPDATE_GOLDEN") && !replay_command()) std::ofstream(expected_path) << actual;
    ASSERT_TRUE(fs::exists(expected_path)) << "missing " << expected_path;
    EXPECT_EQ(actual, read_file(expected_path));
}

INSTANTIATE_TEST_SUITE_P(Replays, Golden, ::testing::ValuesIn(golden_names()),
                         [](const auto& row) { return row.param; });

struct BadScript {
    const char* name;
    std::string script;
    std::string error;  // the one line on standard error
};

void PrintTo(const BadScript& row, std::ostream* out) { *out << row.name; }

class ScriptError : public ::testing::TestWithParam<BadScript> {};

// A bad line ends the run at once with one line that names it, and status 2.
TEST_P(ScriptError, EndsTheRunWithOneLine) {
    const fs::path script = fs::temp_directory_path() / ("zorukan-bad-" + std::to_string(getpid()) + ".replay");
    std::ofstream(script, std::ios::binary) << GetParam().script;
    const std::string actual = transcript_of(script);
    fs::remove(script);
    EXPECT_EQ(actual, "stderr: script error: " + GetParam().error + "\nexit 2\n");
}

// A word quoted in a message: up to 40 bytes whole, a longer one by its
// first 40 bytes, or fewer where a character would be cut, and an ellipsis.
const std::string k40(40, 'x'), k41(41, 'x');
const std::string kKana = "\xE3\x82\xBE";  // ゾ, three bytes

std::string times(int count, const std::string& text) {
    std::string repeated;
    for (int i = 0; i < count; ++i) repeated += text;
    return repeated;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScriptError,
    ::testing::Values(
        BadScript{"word_of_40_bytes", k40 + "\n", "line 1: unknown command '" + k40 + "'"},
        BadScript{"word_of_41_bytes", k41 + " 1\n", "line 1: unknown command '" + k40 + "\u2026'"},
        BadScript{"word_cut_between_characters", times(14, kKana) + "\n",
                  "line 1: unknown command '" + times(13, kKana) + "\u2026'"},
        BadScript{"byte_order_mark_after_the_first_line", "\xEF\xBB\xBFrandom 0\n\xEF\xBB\xBFrandom 0\n",
                  "line 2: unknown command '\xEF\xBB\xBFrandom'"},
        BadScript{"word_after_scroll", "scroll 30 x\n", "line 1: unexpected 'x' after 'scroll'"},
        BadScript{"word_after_wait", "wait 100 extra\n", "line 1: unexpected 'extra' after 'wait'"},
        BadScript{"word_after_ticks", "click Cmd_Set\nticks Tmr_Power 1 x\n", "line 2: unexpected 'x' after 'ticks'"},
        BadScript{"word_after_dump", "dump now\n", "line 1: unexpected 'now' after 'dump'"},
        BadScript{"scroll_past_its_end", "scroll 91\n", "line 1: value out of range: 91 (0 to 90)"},
        BadScript{"missing_number", "scroll\n", "line 1: missing number after 'scroll'"},
        BadScript{"malformed_number", "wait 12ms\n", "line 1: malformed number '12ms'"},
        BadScript{"no_ticks", "click Cmd_Set\nticks Tmr_Power 0\n", "line 2: value out of range: 0 (1 to 1000000000)"},
        BadScript{"timer_off", "ticks Timer1 1\n", "line 1: Timer1 is off"},
        BadScript{"unknown_timer", "ticks Timer3 1\n", "line 1: unknown timer 'Timer3'"},
        BadScript{"field_out_of_its_range", "set Angle 32768\n", "line 1: value out of range: 32768 for Angle"},
        BadScript{"unknown_field", "set Power 3\n", "line 1: unknown field 'Power'"},
        BadScript{"unknown_control", "click Cmd_Fire\n", "line 1: unknown control 'Cmd_Fire'"},
        // 0.99999999 reads as the single 1, outside [0, 1).
        BadScript{"random_value_of_one", "random 0.99999999\n", "line 1: value out of range: 0.99999999 (0 <= R < 1)"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
