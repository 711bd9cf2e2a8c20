#include "tests/fuzz/script_run.h"

#include <algorithm>
#include <charconv>
#include <sstream>
#include <vector>

#include "headless/headless_game.h"
#include "tools/replay/replay.h"

namespace zorukan::fuzz {

namespace {

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

bool starts_with(const std::string& text, std::string_view prefix) { return text.rfind(prefix, 0) == 0; }

double number(const std::string& word) {
    long long value = 0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    return ec == std::errc() && value > 0 ? static_cast<double>(value) : 0.0;
}

// The longest box a hit can open, counting both boxes of every line.
constexpr double kBoxesPerLine = 2;

// As the timer really ticks; 0 for a name the driver refuses.
double timer_period_ms(const std::string& name) {
    static headless::HeadlessGame designed;
    const runtime::Timer* timer = designed.form().timer(name);
    return timer ? static_cast<double>(timer->period()) / 1000 : 0;
}

}  // namespace

ScriptRun run_bytes(std::string_view bytes) {
    std::istringstream script{std::string(bytes)};
    std::ostringstream out, err;
    ScriptRun run;
    run.status = replay::run_script(script, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

std::optional<std::string> broken_ending(const ScriptRun& run) {
    const auto out = lines_of(run.out);
    const auto err = lines_of(run.err);
    const auto runtime_errors =
        std::count_if(out.begin(), out.end(), [](const std::string& line) { return starts_with(line, "runtime error "); });
    switch (run.status) {
        case replay::kOk:
            if (!err.empty() || runtime_errors != 0) return "a clean run reported an error";
            return std::nullopt;
        case replay::kScriptError:
            if (err.size() != 1 || !starts_with(err[0], "script error: line ")) return "a script error without its line";
            if (runtime_errors != 0) return "a script error after a run-time error";
            return std::nullopt;
        case replay::kRuntimeError:
            if (!err.empty()) return "a run-time error wrote to the error stream";
            if (runtime_errors != 1 || !starts_with(out.back(), "runtime error ")) {
                return "a run-time error not reported once, as the last line";
            }
            return std::nullopt;
        default: return "exit status " + std::to_string(run.status);
    }
}

double requested_virtual_ms(std::string_view bytes) {
    double total = 0, longest_box = 0, lines = 0;
    std::istringstream script{std::string(bytes)};
    for (std::string line; std::getline(script, line);) {
        std::istringstream words_in(line.substr(0, line.find('#')));
        std::vector<std::string> words;
        for (std::string word; words_in >> word;) words.push_back(word);
        if (words.empty()) continue;
        ++lines;
        if (words[0] == "wait" && words.size() > 1) total += number(words[1]);
        if (words[0] == "ticks" && words.size() > 2) total += number(words[2]) * timer_period_ms(words[1]);
        if (words[0] == "boxtime" && words.size() > 1) longest_box = std::max(longest_box, number(words[1]));
    }
    return total + longest_box * kBoxesPerLine * lines;
}

}  // namespace zorukan::fuzz
