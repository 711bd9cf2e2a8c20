// Runs every benchmark and prints one table: figure, value, floor, ratio,
// target and verdict. Each window figure is measured against a bare Qt window
// of the same size (or a plain Qt timer) in the same run, on the same display:
// that is what the toolkit itself costs. Needs an X display.
//   bench_driver [RUNS]   RUNS start-ups of each window, alternately (default 11)

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

std::int64_t monotonic_ns() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    if (v.empty()) return NAN;
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

struct Run {
    std::string out;
    std::int64_t started_ns = 0;
    double peak_rss_kib = 0;
    bool ok = false;
};

// Runs a program to its end, its standard output captured; gives up after
// `timeout_s`.
Run run(const std::vector<std::string>& command, int timeout_s, bool quiet = false) {
    Run result;
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
    if (quiet) posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    result.started_ns = monotonic_ns();
    const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_fds[1]);
    if (failed) {
        close(pipe_fds[0]);
        std::fprintf(stderr, "bench: cannot run %s\n", argv[0]);
        return result;
    }
    const std::int64_t deadline = result.started_ns + std::int64_t{timeout_s} * 1'000'000'000;
    char buffer[4096];
    for (;;) {
        pollfd fd{pipe_fds[0], POLLIN, 0};
        const int left_ms = static_cast<int>(std::max<std::int64_t>(0, deadline - monotonic_ns()) / 1'000'000);
        if (poll(&fd, 1, left_ms) <= 0) {
            std::fprintf(stderr, "bench: %s took over %d s\n", argv[0], timeout_s);
            kill(pid, SIGKILL);
            break;
        }
        const ssize_t n = read(pipe_fds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        result.out.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipe_fds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    result.peak_rss_kib = static_cast<double>(usage.ru_maxrss);
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!result.ok) std::fprintf(stderr, "bench: %s failed\n", argv[0]);
    return result;
}

// The `key value` lines a window bench prints.
std::map<std::string, double> values(const Run& run) {
    std::map<std::string, double> found;
    std::istringstream lines(run.out);
    std::string key;
    double value = 0;
    while (lines >> key >> value) found[key] = value;
    return found;
}

double get(const std::map<std::string, double>& found, const std::string& key) {
    const auto it = found.find(key);
    return it == found.end() ? NAN : it->second;
}

struct Row {
    std::string figure;
    double value, floor;
    std::string unit;
    bool show_ratio;
    std::string target;
    std::optional<bool> met;  // none: shown to explain another figure
};

std::string number(double x) {
    if (std::isnan(x)) return "n/a";
    char text[32];
    const double magnitude = std::fabs(x);
    std::snprintf(text, sizeof text, magnitude >= 100 || x == std::floor(x) ? "%.0f" : magnitude >= 10 ? "%.1f" : "%.2f", x);
    return text;
}

std::string ratio(double x) {
    if (std::isnan(x) || std::isinf(x)) return "n/a";
    char text[32];
    std::snprintf(text, sizeof text, x >= 100 ? "%.0f" : "%.2f", x);
    return text;
}

void print(const std::vector<Row>& rows) {
    std::vector<std::vector<std::string>> cells{{"figure", "value", "floor", "ratio", "target", "verdict"}};
    for (const Row& row : rows) {
        const std::string unit = row.unit.empty() ? "" : " " + row.unit;
        cells.push_back({row.figure, number(row.value) + unit, std::isnan(row.floor) ? "-" : number(row.floor) + unit,
                         row.show_ratio ? ratio(row.value / row.floor) : "-", row.target, !row.met ? "info" : *row.met ? "met" : "MISSED"});
    }
    std::vector<std::size_t> widths(cells[0].size(), 0);
    // Column widths in characters; every text here is ASCII.
    for (const auto& line : cells)
        for (std::size_t i = 0; i < line.size(); ++i) widths[i] = std::max(widths[i], line[i].size());
    for (std::size_t r = 0; r < cells.size(); ++r) {
        std::string text = "|";
        for (std::size_t i = 0; i < cells[r].size(); ++i)
            text += " " + cells[r][i] + std::string(widths[i] - cells[r][i].size(), ' ') + " |";
        std::puts(text.c_str());
        if (r == 0) {
            std::string rule = "|";
            for (std::size_t width : widths) rule += std::string(width + 2, '-') + "|";
            std::puts(rule.c_str());
        }
    }
}

struct Core {
    double floor_ns = NAN, tick_ns = NAN, shot_ns = NAN, hundred_thousand_ms = NAN;
};

// Google Benchmark's CSV: name,iterations,real_time,cpu_time,time_unit,...
Core core_speed(const fs::path& core_bench) {
    Core core;
    const Run result = run({core_bench.string(), "--benchmark_format=csv"}, 300, true);
    std::istringstream lines(result.out);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> field;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, ',');) field.push_back(cell);
        if (field.size() < 5) continue;
        double time = 0;
        try {
            time = std::stod(field[2]);
        } catch (const std::exception&) {
            continue;
        }
        const double scale = field[4] == "ns" ? 1 : field[4] == "us" ? 1e3 : field[4] == "ms" ? 1e6 : 1e9;
        const double ns = time * scale;
        if (field[0].find("BM_Floor_AdvanceIdleClock") != std::string::npos) core.floor_ns = ns;
        if (field[0].find("BM_FlightTick") != std::string::npos) core.tick_ns = ns;
        if (field[0].find("BM_WholeShot") != std::string::npos) core.shot_ns = ns;
        if (field[0].find("BM_HundredThousandShots") != std::string::npos) core.hundred_thousand_ms = ns / 1e6;
    }
    return core;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
    const fs::path here = fs::canonical("/proc/self/exe").parent_path();
    const std::string game = (here / "game_window_bench").string(), bare = (here / "bare_window").string();

    // Start-up and memory: alternately, after one unmeasured run of each to
    // warm the file cache and the font cache.
    // A bare window with one Japanese label shows what text alone costs.
    struct Subject {
        std::vector<std::string> command;
        std::vector<double> ms, kib;
    };
    Subject subjects[] = {{{game, "first-frame"}, {}, {}},
                          {{bare, "first-frame"}, {}, {}},
                          {{bare, "first-frame", "label"}, {}, {}},
                          {{bare, "first-frame", "widgets"}, {}, {}}};
    for (int i = -1; i < runs; ++i) {
        for (Subject& subject : subjects) {
            const Run result = run(subject.command, 30);
            const double frame_ns = get(values(result), "first_frame_ns");
            if (i < 0 || !result.ok) continue;
            subject.ms.push_back((frame_ns - static_cast<double>(result.started_ns)) / 1e6);
            subject.kib.push_back(result.peak_rss_kib);
        }
    }
    const std::vector<double>&game_ms = subjects[0].ms, &bare_ms = subjects[1].ms, &label_ms = subjects[2].ms,
                               &widgets_ms = subjects[3].ms;
    const std::vector<double>&game_kib = subjects[0].kib, &bare_kib = subjects[1].kib, &label_kib = subjects[2].kib,
                               &widgets_kib = subjects[3].kib;
    std::fprintf(stderr, "bench: start-up and memory done (%zu + %zu runs)\n", game_ms.size(), bare_ms.size());

    const auto game_idle = values(run({game, "idle"}, 60)), bare_idle = values(run({bare, "idle"}, 60));
    std::fprintf(stderr, "bench: idle done\n");
    const auto game_clocks = values(run({game, "clocks"}, 120)), bare_clocks = values(run({bare, "clocks"}, 120));
    std::fprintf(stderr, "bench: clocks done\n");
    const auto paint = values(run({game, "paint"}, 60));
    const Core core = core_speed(here / "core_bench");
    std::fprintf(stderr, "bench: paint and core done\n\n");

    std::vector<Row> rows;
    auto add = [&](std::string figure, double value, double floor, std::string unit, bool ratio, std::string target,
                   std::optional<bool> met) { rows.push_back({std::move(figure), value, floor, std::move(unit), ratio, std::move(target), met}); };
    const double start_game = median(game_ms), start_bare = median(bare_ms);
    add("start-up to first frame (median)", start_game, start_bare, "ms", true, "ratio <= 1.15",
        start_game / start_bare <= 1.15);
    add("  bare window + one Japanese label", median(label_ms), start_bare, "ms", true, "-", std::nullopt);
    add("  bare window + the game's widgets", median(widgets_ms), start_bare, "ms", true, "-", std::nullopt);
    add("  game against that", start_game, median(widgets_ms), "ms", true, "-", std::nullopt);
    const double rss_game = median(game_kib) / 1024, rss_bare = median(bare_kib) / 1024;
    add("peak resident memory (median)", rss_game, rss_bare, "MiB", true, "ratio <= 1.30", rss_game / rss_bare <= 1.30);
    add("  bare window + one Japanese label", median(label_kib) / 1024, rss_bare, "MiB", true, "-", std::nullopt);
    add("  bare window + the game's widgets", median(widgets_kib) / 1024, rss_bare, "MiB", true, "-", std::nullopt);
    const double events = get(game_idle, "idle_timer_events");
    add("idle 5 s: timer events", events, get(bare_idle, "idle_timer_events"), "", false, "0", events == 0);
    const double idle_cpu = get(game_idle, "idle_cpu_ms");
    add("idle 5 s: CPU time", idle_cpu, get(bare_idle, "idle_cpu_ms"), "ms", true, "< 5 ms", idle_cpu < 5);

    const double flight = get(game_clocks, "flight_median_ms");
    add("Timer1 interval (median of 200)", flight, get(bare_clocks, "flight_median_ms"), "ms", true, "60 +- 0.5 ms",
        std::fabs(flight - 60) <= 0.5);
    const double flight_p99 = get(game_clocks, "flight_p99_deviation_ms");
    add("Timer1 interval: 99th pct. off 60", flight_p99, get(bare_clocks, "flight_p99_deviation_ms"), "ms", true,
        "<= 5 ms", flight_p99 <= 5);
    const double gauge = get(game_clocks, "gauge_median_ms");
    add("Tmr_Power interval (median of 400)", gauge, get(bare_clocks, "gauge_median_ms"), "ms", true, "25 +- 0.5 ms",
        std::fabs(gauge - 25) <= 0.5);

    const double area = get(game_clocks, "paint_area_px"), area_floor = get(game_clocks, "paint_area_floor_px");
    add("repainted per new segment (worst)", area, area_floor, "px", true, "ratio <= 4", area / area_floor <= 4);
    const double paint_1000 = get(paint, "paint_us_1000"), paint_10 = get(paint, "paint_us_10");
    add("paint of a new segment, 1,000 on", paint_1000, paint_10, "us", true, "ratio <= 1.5 (floor: 10 on)",
        paint_1000 / paint_10 <= 1.5);

    // A shot is some 50 ticks of the gauge and the flight: 2 s for 100,000
    // shots leaves 400 ns a tick.
    add("core: one flight tick", core.tick_ns, core.floor_ns, "ns", true, "< 400 ns", core.tick_ns < 400);
    add("core: one whole shot", core.shot_ns / 1e3, core.floor_ns / 1e3, "us", true, "< 20 us", core.shot_ns < 20e3);
    add("core: 100,000 shots", core.hundred_thousand_ms / 1e3, NAN, "s", false, "< 2 s", core.hundred_thousand_ms < 2e3);

    print(rows);
    return std::all_of(rows.begin(), rows.end(), [](const Row& row) { return row.met.value_or(true); }) ? 0 : 1;
}
