// Prints the benchmark table from the figures tools/bench.sh gathered: one
// `SUBJECT.FIGURE VALUE` line per sample on standard input (a figure sampled
// more than once counts by its median). Each figure stands beside its floor,
// measured in the same run on the same machine, and its target; the status
// is 1 when a target is missed, 2 when a figure is missing.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

std::map<std::string, std::vector<double>> read_samples(std::istream& in) {
    std::map<std::string, std::vector<double>> samples;
    std::string key;
    double value = 0;
    while (in >> key >> value) samples[key].push_back(value);
    return samples;
}

double median(std::vector<double> v) {
    if (v.empty()) return NAN;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
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
    if (!std::isfinite(x)) return "n/a";
    char text[32];
    std::snprintf(text, sizeof text, x >= 100 ? "%.0f" : "%.2f", x);
    return text;
}

void print(const std::vector<Row>& rows) {
    std::vector<std::vector<std::string>> cells{{"figure", "value", "floor", "ratio", "target", "verdict"}};
    for (const Row& row : rows) {
        const std::string unit = row.unit.empty() ? "" : " " + row.unit;
        cells.push_back({row.figure, number(row.value) + unit, std::isnan(row.floor) ? "-" : number(row.floor) + unit,
                         row.show_ratio ? ratio(row.value / row.floor) : "-", row.target,
                         !row.met ? "info" : *row.met ? "met" : "MISSED"});
    }
    // Column widths in characters; every text here is ASCII.
    std::vector<std::size_t> widths(cells[0].size(), 0);
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

}  // namespace

int main() {
    const auto samples = read_samples(std::cin);
    std::vector<std::string> missing;
    auto get = [&](const std::string& key) -> double {
        const auto it = samples.find(key);
        if (it != samples.end()) return median(it->second);
        missing.push_back(key);
        return NAN;
    };
    std::vector<Row> rows;
    auto add = [&](std::string figure, double value, double floor, std::string unit, bool show_ratio, std::string target,
                   std::optional<bool> met) {
        rows.push_back({std::move(figure), value, floor, std::move(unit), show_ratio, std::move(target), met});
    };
    auto info = [&](std::string figure, double value, double floor, std::string unit) {
        add(std::move(figure), value, floor, std::move(unit), true, "-", std::nullopt);
    };

    // Start-up and memory: the toolkit's own cost for this content is the
    // bare window with the game's widgets and captions; the plain bare window,
    // with no text at all, shows how much of that is the content.
    const double start_game = get("game.startup_ms"), start_widgets = get("widgets.startup_ms"),
                 start_bare = get("bare.startup_ms");
    add("start-up to first frame (median)", start_game, start_widgets, "ms", true, "ratio <= 1.05 (floor: widgets)",
        start_game / start_widgets <= 1.05);
    info("  game against the bare window", start_game, start_bare, "ms");
    info("  bare window + one Japanese label", get("label.startup_ms"), start_bare, "ms");
    info("  bare window + the game's widgets", start_widgets, start_bare, "ms");

    const double rss_game = get("game.peak_kib") / 1024, rss_widgets = get("widgets.peak_kib") / 1024,
                 rss_bare = get("bare.peak_kib") / 1024;
    add("peak resident memory (median)", rss_game, rss_widgets, "MiB", true, "ratio <= 1.10 (floor: widgets)",
        rss_game / rss_widgets <= 1.10);
    info("  game against the bare window", rss_game, rss_bare, "MiB");
    info("  bare window + one Japanese label", get("label.peak_kib") / 1024, rss_bare, "MiB");
    info("  bare window + the game's widgets", rss_widgets, rss_bare, "MiB");

    const double events = get("game.idle_timer_events");
    add("idle 5 s: timer events", events, get("bare.idle_timer_events"), "", false, "0", events == 0);
    const double idle_cpu = get("game.idle_cpu_ms");
    add("idle 5 s: CPU time", idle_cpu, get("bare.idle_cpu_ms"), "ms", true, "< 5 ms", idle_cpu < 5);

    // The game's periods come from its scene, as the game reports them.
    const double flight_period = get("game.flight_period_ms"), gauge_period = get("game.gauge_period_ms");
    const double flight = get("game.flight_median_ms");
    add("Timer1 interval (median of 200)", flight, get("bare.flight_median_ms"), "ms", true,
        number(flight_period) + " +- 0.5 ms", std::fabs(flight - flight_period) <= 0.5);
    const double flight_p99 = get("game.flight_p99_deviation_ms");
    add("Timer1 interval: 99th pct. off " + number(flight_period), flight_p99, get("bare.flight_p99_deviation_ms"), "ms",
        true, "<= 5 ms", flight_p99 <= 5);
    const double gauge = get("game.gauge_median_ms");
    add("Tmr_Power interval (median of 400)", gauge, get("bare.gauge_median_ms"), "ms", true,
        number(gauge_period) + " +- 0.5 ms", std::fabs(gauge - gauge_period) <= 0.5);

    const double area = get("game.paint_area_px"), area_floor = get("game.paint_area_floor_px");
    add("repainted per new segment (worst)", area, area_floor, "px", true, "ratio <= 4", area / area_floor <= 4);
    // Judged by the rounds' own ratios, each round's two counts painted on
    // the same machine state (see game_window_bench).
    const double paint_ratio = get("game.paint_ratio");
    add("paint of a new segment, 1,000 / 10 on", paint_ratio, NAN, "", false, "<= 1.5", paint_ratio <= 1.5);
    info("  each, median", get("game.paint_us_1000"), get("game.paint_us_10"), "us");

    // A shot is some 50 ticks of the gauge and the flight: 2 s for 100,000
    // shots leaves 400 ns a tick.
    const double floor_ns = get("core.BM_Floor_AdvanceIdleClock_ns"), tick_ns = get("core.BM_FlightTick_ns"),
                 shot_ns = get("core.BM_WholeShot_ns"), many_ns = get("core.BM_HundredThousandShots_ns");
    add("core: one flight tick", tick_ns, floor_ns, "ns", true, "< 400 ns", tick_ns < 400);
    add("core: one whole shot", shot_ns / 1e3, floor_ns / 1e3, "us", true, "< 20 us", shot_ns < 20e3);
    add("core: 100,000 shots", many_ns / 1e9, NAN, "s", false, "< 2 s", many_ns < 2e9);

    print(rows);
    for (const std::string& key : missing) std::fprintf(stderr, "bench: no figure %s\n", key.c_str());
    if (!missing.empty()) return 2;
    return std::all_of(rows.begin(), rows.end(), [](const Row& row) { return row.met.value_or(true); }) ? 0 : 1;
}
