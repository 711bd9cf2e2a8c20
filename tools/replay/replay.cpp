#include "tools/replay/replay.h"

#include <algorithm>
#include <charconv>
#include <istream>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "game/program.h"
#include "headless/headless_game.h"
#include "runtime/virtual_clock.h"
#include "tools/replay/number_text.h"

namespace zorukan::replay {

namespace {

using runtime::Micros;

struct ScriptError {
    std::string message;
};

// A script played line by line against the headless game, printing what the
// game shows: message boxes, trace segments and repaints. The game is made
// (and loads) just before the first command that is not `random` or
// `boxtime`, so that those can come first.
class Replay final : public runtime::TraceObserver {
public:
    explicit Replay(std::ostream& out) : out_(out) {}

    void run_line(std::string_view line);
    bool failed() const { return game_ && game_->program.halted(); }

    void segment_drawn(const runtime::Segment& s) override {
        out_ << "draw " << number_text(s.x1) << ' ' << number_text(s.y1) << ' ' << number_text(s.x2) << ' '
             << number_text(s.y2) << '\n';
    }
    void window_repainted() override { out_ << "refresh\n"; }

private:
    headless::HeadlessGame& game();
    game::Program& program() { return game().program; }
    runtime::VirtualClock& clock() { return game().clock; }
    void dump();
    void click(std::string_view name);
    void set_field(std::string_view name, long long value);
    void ticks(std::string_view name, long long count);

    std::ostream& out_;
    // What `random` and `boxtime` chose before the game was made.
    headless::ScriptedRandom random_ = headless::ScriptedRandom::then_seeded_from_clock();
    Micros box_time_ = 0;
    std::optional<headless::HeadlessGame> game_;
};

// --- reading words and numbers -------------------------------------------

// Words are views into the line, which is read once and never copied, and
// a line is split only as far as its command reads: a script line may be as
// long as the memory it fits in.
using Words = std::vector<std::string_view>;

// Takes the first word off `text`; empty when there is none.
std::string_view next_word(std::string_view& text) {
    constexpr std::string_view kSpace = " \t\n\v\f\r";
    text.remove_prefix(std::min(text.find_first_not_of(kSpace), text.size()));
    const std::string_view word = text.substr(0, text.find_first_of(kSpace));
    text.remove_prefix(word.size());
    return word;
}

// The first `most` words of `text`: a command's words and one more, to
// tell that there is one too many.
Words split_words(std::string_view text, std::size_t most) {
    Words words;
    while (words.size() < most) {
        const std::string_view word = next_word(text);
        if (word.empty()) break;
        words.push_back(word);
    }
    return words;
}

// A word as an error message quotes it: whole if short, else its start and
// an ellipsis, cut between characters.
std::string excerpt(std::string_view word) {
    constexpr std::size_t kLongest = 40;
    if (word.size() <= kLongest) return std::string(word);
    std::size_t cut = kLongest;
    while (cut > 0 && (static_cast<unsigned char>(word[cut]) & 0xC0) == 0x80) --cut;
    return std::string(word.substr(0, cut)) + "\u2026";
}

long long integer(const Words& words, std::size_t index, long long low, long long high) {
    if (index >= words.size()) throw ScriptError{"missing number after '" + excerpt(words[0]) + "'"};
    const std::string_view word = words[index];
    long long value = 0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec == std::errc::result_out_of_range) throw ScriptError{"value out of range: " + excerpt(word)};
    if (ec != std::errc() || end != word.data() + word.size()) {
        throw ScriptError{"malformed number '" + excerpt(word) + "'"};
    }
    if (value < low || value > high) {
        throw ScriptError{"value out of range: " + excerpt(word) + " (" + std::to_string(low) + " to " +
                          std::to_string(high) + ")"};
    }
    return value;
}

float random_value(std::string_view word) {
    float value = 0;
    const NumberRead read = read_single(word, value);
    if (read == NumberRead::kOutOfRange) throw ScriptError{"value out of range: " + excerpt(word)};
    if (read == NumberRead::kMalformed) throw ScriptError{"malformed number '" + excerpt(word) + "'"};
    if (!(value >= 0.0f && value < 1.0f)) throw ScriptError{"value out of range: " + excerpt(word) + " (0 <= R < 1)"};
    return value;
}

void expect_words(const Words& words, std::size_t count) {
    if (words.size() > count) {
        throw ScriptError{"unexpected '" + excerpt(words[count]) + "' after '" + excerpt(words[0]) + "'"};
    }
}

// GameState's fields, as `set` names them and `dump` prints them.
using Field = std::variant<std::int16_t game::GameState::*, std::int32_t game::GameState::*>;
constexpr std::pair<std::string_view, Field> kFields[] = {
    {"Speed", &game::GameState::Speed},
    {"Angle", &game::GameState::Angle},
    {"FlightTime", &game::GameState::FlightTime},
    {"Gravity", &game::GameState::Gravity},
    {"PosXA", &game::GameState::PosXA},
    {"PosXB", &game::GameState::PosXB},
    {"PosYA", &game::GameState::PosYA},
    {"PosYB", &game::GameState::PosYB},
    {"PowerDir", &game::GameState::PowerDir},
    {"TvBroken", &game::GameState::TvBroken},
    {"TickCount", &game::GameState::TickCount},
};

constexpr long long kMaxMillis = 1'000'000'000;  // about eleven days of play
constexpr long long kCeilingMillis = runtime::VirtualClock::kCeiling / 1000;

// --- commands --------------------------------------------------------------

headless::HeadlessGame& Replay::game() {
    if (!game_) {
        game_.emplace(std::move(random_), this, [this](const runtime::RuntimeError& error) {
            out_ << "runtime error " << error.code() << ": " << error.what() << '\n';
        });
        game_->boxes.open_for = box_time_;
        game_->boxes.on_open = [this](const headless::ShownBox& box) {
            out_ << "msgbox " << box.title << ' ' << box.prompt << '\n';
        };
    }
    return *game_;
}

void Replay::run_line(std::string_view raw) {
    const std::string_view line = raw.substr(0, raw.find('#'));
    const Words words = split_words(line, 4);
    if (words.empty()) return;
    const std::string_view command = words[0];
    // What follows the command word, for the commands that read all of it.
    const std::string_view rest = line.substr(static_cast<std::size_t>(command.data() + command.size() - line.data()));

    if (command == "random") {
        if (words.size() < 2) throw ScriptError{"missing number after 'random'"};
        std::string_view values = rest;
        headless::ScriptedRandom& random = game_ ? game_->random : random_;
        for (auto word = next_word(values); !word.empty(); word = next_word(values)) random.push(random_value(word));
    } else if (command == "boxtime") {
        box_time_ = runtime::micros_from_ms(integer(words, 1, 0, kMaxMillis));
        expect_words(words, 2);
        if (game_) game_->boxes.open_for = box_time_;
    } else if (command == "set") {
        if (words.size() < 2) throw ScriptError{"missing field after 'set'"};
        set_field(words[1], integer(words, 2, std::numeric_limits<std::int32_t>::min(),
                                    std::numeric_limits<std::int32_t>::max()));
        expect_words(words, 3);
    } else if (command == "click") {
        if (words.size() < 2) throw ScriptError{"missing control after 'click'"};
        expect_words(words, 2);
        click(words[1]);
    } else if (command == "scroll") {
        const auto value = integer(words, 1, 0, 90);
        expect_words(words, 2);
        program().scroll_to(static_cast<int>(value));
    } else if (command == "type") {
        std::string_view text = rest;
        text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
        text.remove_suffix(text.size() - (text.find_last_not_of(" \t\r") + 1));
        program().type(std::string(text));
    } else if (command == "wait") {
        const auto ms = integer(words, 1, 0, kCeilingMillis);
        expect_words(words, 2);
        clock().advance(runtime::micros_from_ms(ms));
    } else if (command == "ticks") {
        if (words.size() < 2) throw ScriptError{"missing timer after 'ticks'"};
        const auto count = integer(words, 2, 1, kMaxMillis);
        expect_words(words, 3);
        ticks(words[1], count);
    } else if (command == "dump") {
        expect_words(words, 1);
        dump();
    } else {
        throw ScriptError{"unknown command '" + excerpt(command) + "'"};
    }
    // The boxes are printed as they open; none is kept.
    if (game_) game_->boxes.shown.clear();
    if (game_ && game_->clock.at_ceiling() && !failed()) {
        throw ScriptError{"the clock reached its ceiling of " + std::to_string(kCeilingMillis) + " ms"};
    }
}

void Replay::click(std::string_view name) {
    scene::CommandButton* button = program().form().button(name);
    if (!button) throw ScriptError{"unknown control '" + excerpt(name) + "'"};
    if (!program().click(*button)) out_ << "ignored click " << name << '\n';
}

void Replay::set_field(std::string_view name, long long value) {
    game::GameState& s = program().game().state();
    for (const auto& [field_name, field] : kFields) {
        if (name != field_name) continue;
        std::visit(
            [&](auto member) {
                using Int = std::remove_reference_t<decltype(s.*member)>;
                if (value < std::numeric_limits<Int>::min() || value > std::numeric_limits<Int>::max()) {
                    throw ScriptError{"value out of range: " + std::to_string(value) + " for " + std::string(name)};
                }
                s.*member = static_cast<Int>(value);
            },
            field);
        return;
    }
    throw ScriptError{"unknown field '" + excerpt(name) + "'"};
}

void Replay::ticks(std::string_view name, long long count) {
    runtime::Timer* timer = program().form().timer(name);
    if (!timer) throw ScriptError{"unknown timer '" + excerpt(name) + "'"};
    if (!timer->enabled()) throw ScriptError{std::string(name) + " is off"};
    const auto start = timer->ticks_run();
    const auto target = start + static_cast<std::uint64_t>(count);
    clock().advance_until([&] { return timer->ticks_run() >= target || !timer->enabled() || failed(); });
    if (failed() || clock().at_ceiling() || timer->ticks_run() >= target) return;
    throw ScriptError{std::string(name) + " went off after " + std::to_string(timer->ticks_run() - start) + " of " +
                      std::to_string(count) + " ticks"};
}

void Replay::dump() {
    game::Program& p = program();
    const game::GameState& s = p.state();
    const scene::Form1& f = p.form();
    auto n = [](auto value) {
        if constexpr (std::is_floating_point_v<decltype(value)>) {
            return number_text(static_cast<float>(value));
        } else {
            return number_text(static_cast<long long>(value));
        }
    };
    out_ << "state clock=" << n(clock().now() / 1000);
    for (const auto& [name, field] : kFields) {
        out_ << ' ' << name << '=' << std::visit([&](auto member) { return n(s.*member); }, field);
    }
    out_ << " Shape1.Width=" << n(f.Shape1.Width) << " Tv.Left=" << n(f.Tv.Left)
         << " Tv.Picture=" << (f.Tv.picture == scene::PictureId::TvBroken ? "broken" : "intact")
         << " Image2.Left=" << n(f.Image2.Left) << " Image2.Visible=" << n(f.Image2.Visible)
         << " Line1.X2=" << n(f.Line1.X2) << " Line1.Y2=" << n(f.Line1.Y2) << " Text1.Text=" << f.Text1.Text
         << " HScroll1.Value=" << n(f.HScroll1.Value) << " Cmd_Set.Enabled=" << n(f.Cmd_Set.Enabled)
         << " Cmd_Start.Enabled=" << n(f.Cmd_Start.Enabled) << " Timer1.Enabled=" << n(f.Timer1.enabled())
         << " Timer2.Enabled=" << n(f.Timer2.enabled()) << " Tmr_Power.Enabled=" << n(f.Tmr_Power.enabled())
         << " trace=" << n(p.trace().segments().size()) << '\n';
}

}  // namespace

int run_script(std::istream& script, std::ostream& out, std::ostream& err) {
    // Some editors start a UTF-8 file with a byte-order mark; it is not text.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    Replay replay(out);
    std::string line;  // one buffer, reused by every line
    for (long long line_number = 1; std::getline(script, line); ++line_number) {
        std::string_view text = line;
        if (line_number == 1 && text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
        try {
            replay.run_line(text);
        } catch (const ScriptError& error) {
            err << "script error: line " << line_number << ": " << error.message << '\n';
            return kScriptError;
        }
        if (replay.failed()) break;
        // Output that cannot be written is lost: no point playing on.
        if (!out) return kOutputLost;
    }
    if (!out.flush()) return kOutputLost;
    return replay.failed() ? kRuntimeError : kOk;
}

}  // namespace zorukan::replay
