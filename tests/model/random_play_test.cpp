// Random play against the game's rules: a million player events per run,
// every rule checked after each one. A failure names the seed and prints the
// shrunk sequence as a replay script; to play another stretch of random
// games set ZORUKAN_MODEL_SEED (and ZORUKAN_MODEL_EVENTS for a longer run).

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include "tests/model/failure.h"
#include "tests/model/shrink.h"
#include "tools/replay/replay.h"

namespace zorukan::model {
namespace {

constexpr std::uint64_t kDefaultSeed = 20240501;
constexpr std::size_t kDefaultEvents = 1'000'000;
constexpr std::size_t kSessionLength = 4000;  // a long evening's play, then a fresh start

std::uint64_t from_environment(const char* name, std::uint64_t fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::strtoull(text, nullptr, 10) : fallback;
}

std::string replay(const std::string& script, int* status = nullptr) {
    std::istringstream in(script);
    std::ostringstream out, err;
    const int result = replay::run_script(in, out, err);
    if (status) *status = result;
    return out.str() + err.str();
}

std::size_t count_lines_starting(const std::string& text, const std::string& prefix) {
    std::size_t count = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) count += line.rfind(prefix, 0) == 0;
    return count;
}

TEST(RandomPlay, KeepsEveryRuleThroughAMillionEvents) {
    const std::uint64_t seed = from_environment("ZORUKAN_MODEL_SEED", kDefaultSeed);
    const std::size_t total = from_environment("ZORUKAN_MODEL_EVENTS", kDefaultEvents);
    Coverage seen;
    const auto started = std::chrono::steady_clock::now();
    for (std::size_t played = 0, index = 0; played < total; ++index) {
        const std::uint64_t session_seed = seed + index;
        const auto events = generate(session_seed, std::min(kSessionLength, total - played));
        CheckedGame session(game_seed_of(session_seed));
        for (const Event& event : events) {
            if (!session.apply(event)) continue;
            const Failure failure = explain_failure(session_seed, events);
            FAIL() << "random play broke '" << failure.violation.text() << "' (seed " << seed << ", session seed "
                   << session_seed << "); shrunk from " << failure.original_length << " to "
                   << failure.events.size() << " events. Replay script:\n"
                   << failure.script;
        }
        const Coverage& c = session.coverage();
        seen.launches += c.launches;
        seen.landings += c.landings;
        seen.right_edges += c.right_edges;
        seen.hits += c.hits;
        seen.flight_ticks += c.flight_ticks;
        played += events.size();
        seen.events = played;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::cout << "random play: " << seen.events << " events in " << seconds << " s ("
              << static_cast<long long>(static_cast<double>(seen.events) / seconds) << " events/s), seed " << seed
              << "; " << seen.launches << " launches, " << seen.landings << " landings, " << seen.right_edges
              << " past the right edge, " << seen.hits << " hits, " << seen.flight_ticks << " flight ticks\n";
    // A player who never got a shot to its end would prove little.
    if (total >= kDefaultEvents) {
        EXPECT_GT(seen.landings, 1000u);
        EXPECT_GT(seen.right_edges, 100u);
        EXPECT_GT(seen.hits, 100u);
    }
}

// The failure report is only worth having if the replay driver plays the
// script exactly as the session played the events.
TEST(RandomPlay, ReplayScriptPlaysTheSessionAgain) {
    for (const std::uint64_t seed : {1u, 2u, 3u}) {
        const auto events = generate(seed, 3000);
        CheckedGame session(game_seed_of(seed));
        for (const Event& event : events) ASSERT_FALSE(session.apply(event)) << "seed " << seed;

        int status = -1;
        const std::string out = replay(replay_script("seed " + std::to_string(seed), session.random_values(), events),
                                       &status);
        EXPECT_EQ(status, replay::kOk) << out.substr(out.size() - std::min<std::size_t>(out.size(), 500));
        EXPECT_EQ(count_lines_starting(out, "msgbox "), session.boxes_shown());
        EXPECT_EQ(count_lines_starting(out, "draw "), session.segments_drawn());
        const game::Program& p = session.program();
        const game::GameState& s = p.state();
        for (const std::string& field :
             {"clock=" + std::to_string(session.now() / 1000), " TickCount=" + std::to_string(s.TickCount),
              " Speed=" + std::to_string(s.Speed), " Angle=" + std::to_string(s.Angle),
              " PosXA=" + std::to_string(s.PosXA), " PosYB=" + std::to_string(s.PosYB),
              " Text1.Text=" + p.form().Text1.Text + " HScroll1.Value=" + std::to_string(p.form().HScroll1.Value),
              " trace=" + std::to_string(p.trace().segments().size()) + "\n"}) {
            EXPECT_NE(out.find(field), std::string::npos) << "seed " << seed << ": no '" << field << "' in the dump";
        }
    }
}

TEST(Shrinking, FindsTheFewItemsAFailureNeeds) {
    std::vector<int> items(1000);
    for (int i = 0; i < 1000; ++i) items[static_cast<std::size_t>(i)] = i;
    int runs = 0;
    // Fails when 17, 423 and 800 all appear, in that order.
    auto fails = [&runs](const std::vector<int>& candidate) {
        ++runs;
        std::size_t next = 0;
        const int needed[] = {17, 423, 800};
        for (const int item : candidate) next += next < 3 && item == needed[next];
        return next == 3;
    };
    EXPECT_EQ(shrink(items, fails), (std::vector<int>{17, 423, 800}));
    EXPECT_LT(runs, 400) << "delta debugging should need far fewer runs than items squared";
    EXPECT_EQ(shrink(std::vector<int>{5, 6}, [](const std::vector<int>&) { return true; }), std::vector<int>{});
}

// Shrinking a real session: from thousands of random events down to the few
// that make a television hit, still a hit when replayed by the driver.
TEST(Shrinking, CutsARandomSessionDownToAHit) {
    std::uint64_t seed = 1;
    auto hits = [&seed](const std::vector<Event>& events) {
        CheckedGame session(game_seed_of(seed));
        for (const Event& event : events) {
            if (session.apply(event)) return false;
            if (session.coverage().hits > 0) return true;
        }
        return false;
    };
    std::vector<Event> events;
    for (; seed < 100; ++seed) {
        events = generate(seed, kSessionLength);
        if (hits(events)) break;
    }
    ASSERT_TRUE(hits(events)) << "no hit in 100 random sessions";

    const auto shrunk = simplify(shrink(events, hits), hits);
    EXPECT_LE(shrunk.size(), 8u) << "a hit needs a click, a wait, a click and a flight";
    const Outcome outcome = play(game_seed_of(seed), shrunk);
    const std::string out = replay(replay_script("a hit", outcome.random_values, shrunk));
    EXPECT_EQ(count_lines_starting(out, "msgbox "), 2u) << out;
}

}  // namespace
}  // namespace zorukan::model
