#include "tests/model/events.h"

#include <array>
#include <charconv>

namespace zorukan::model {

namespace {

// Pieces of typing, none with '#' (a script comment) or a line break, so that
// every typed text survives a round trip through a script line.
constexpr std::array<const char*, 12> kTypingPieces = {
    "30", "-1", "99999", "abc", "テレビ", "発射", " ", "\t", "%s%n", "\\", "\x01", "💥",
};

std::string trimmed(std::string text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::string EventSource::some_text() {
    const int pieces = uniform(0, 99) < 5 ? uniform(100, 400) : uniform(0, 6);
    std::string text;
    for (int i = 0; i < pieces; ++i) text += kTypingPieces[static_cast<std::size_t>(uniform(0, kTypingPieces.size() - 1))];
    // The replay driver trims a typed line, so the player's text is trimmed too.
    return trimmed(std::move(text));
}

Event EventSource::next() {
    const int roll = uniform(0, 99);
    if (roll < 12) return {Action::ClickSet};
    if (roll < 24) return {Action::ClickStart};
    if (roll < 33) return {Action::Scroll, uniform(kScrollMin - 10, kScrollMax + 10)};
    if (roll < 36) return {Action::Type, 0, some_text()};
    if (roll < 42) return {Action::BoxTime, uniform(0, 2) == 0 ? 0 : uniform(1, 3000)};
    // Waits: mostly a few ticks, some a whole shot, a few long idle spells.
    const int spell = uniform(0, 99);
    if (spell < 60) return {Action::Wait, uniform(0, 100)};
    if (spell < 95) return {Action::Wait, uniform(100, 2000)};
    return {Action::Wait, uniform(2000, 20000)};
}

std::vector<Event> generate(std::uint64_t seed, std::size_t count) {
    EventSource source(seed);
    std::vector<Event> events;
    events.reserve(count);
    for (std::size_t i = 0; i < count; ++i) events.push_back(source.next());
    return events;
}

std::string script_line(const Event& event) {
    switch (event.action) {
        case Action::ClickSet: return "click Cmd_Set";
        case Action::ClickStart: return "click Cmd_Start";
        case Action::Scroll: {
            // The script only takes values in range; the bar clamps the same way.
            const int value = event.value < kScrollMin ? kScrollMin : event.value > kScrollMax ? kScrollMax : event.value;
            return "scroll " + std::to_string(value);
        }
        case Action::Type: return event.text.empty() ? "type" : "type " + event.text;
        case Action::Wait: return "wait " + std::to_string(event.value);
        case Action::BoxTime: return "boxtime " + std::to_string(event.value);
    }
    return "";
}

std::string replay_script(const std::string& header, const std::vector<float>& random_values,
                          const std::vector<Event>& events) {
    std::string script = "# " + header + "\n";
    if (!random_values.empty()) {
        script += "random";
        for (const float value : random_values) {
            char buffer[32];
            const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
            script += ' ';
            script.append(buffer, result.ptr);
        }
        script += '\n';
    }
    for (const Event& event : events) script += script_line(event) + '\n';
    return script + "dump\n";
}

}  // namespace zorukan::model
