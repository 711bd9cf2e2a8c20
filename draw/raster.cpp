#include "draw/raster.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <utility>

namespace zorukan::draw {

namespace {

// How far the pen reaches either side of the line's centre pixel.
int reach(int pen) { return (std::max(pen, 1) - 1) / 2; }

// The pen's disc: the offsets (ox, oy) within a circle of the pen's diameter.
bool in_pen(int ox, int oy, int pen) { return 4 * (ox * ox + oy * oy) <= pen * pen; }

}  // namespace

Rect line_bounds(int x1, int y1, int x2, int y2, int pen) {
    const int r = reach(pen);
    return {std::min(x1, x2) - r, std::min(y1, y2) - r, std::abs(x2 - x1) + 1 + 2 * r, std::abs(y2 - y1) + 1 + 2 * r};
}

std::vector<Rect> line_pixels(int x1, int y1, int x2, int y2, int pen) {
    std::vector<Rect> runs;
    line_pixels(x1, y1, x2, y2, pen, runs);
    return runs;
}

namespace {

// The steps of the line from (x1, y1) to (x2, y2), both ends included.
template <typename Visit>
void bresenham(int x1, int y1, int x2, int y2, Visit visit) {
    const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int error = dx + dy;
    for (int x = x1, y = y1;;) {
        visit(x, y);
        if (x == x2 && y == y2) break;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += sx;
        }
        if (twice <= dx) {
            error += dx;
            y += sy;
        }
    }
}

// A one-pixel line needs no mask: each step extends the run it continues,
// and a step already covered by that run (where a segment begins at the end
// of the last) adds nothing.
void thin_line(int x1, int y1, int x2, int y2, std::vector<Rect>& runs, const Rect& within) {
    bresenham(x1, y1, x2, y2, [&runs, &within](int x, int y) {
        if (!within.contains(x, y)) return;
        if (!runs.empty()) {
            Rect& run = runs.back();
            if (run.contains(x, y)) return;
            if (run.h == 1 && y == run.y && (x == run.right() || x == run.x - 1)) {
                run = run.united({x, y, 1, 1});
                return;
            }
            if (run.w == 1 && x == run.x && (y == run.bottom() || y == run.y - 1)) {
                run = run.united({x, y, 1, 1});
                return;
            }
        }
        runs.push_back({x, y, 1, 1});
    });
}

}  // namespace

void line_pixels(int x1, int y1, int x2, int y2, int pen, std::vector<Rect>& runs, const Rect& within) {
    if (reach(pen) == 0) {
        thin_line(x1, y1, x2, y2, runs, within);
        return;
    }
    // Mark the covered pixels in a mask the size of the line's bounds.
    const Rect bounds = line_bounds(x1, y1, x2, y2, pen);
    std::vector<bool> mask(static_cast<std::size_t>(bounds.w) * static_cast<std::size_t>(bounds.h));
    const auto mark = [&](int x, int y) { mask[static_cast<std::size_t>((y - bounds.y) * bounds.w + (x - bounds.x))] = true; };
    const int r = reach(pen);
    bresenham(x1, y1, x2, y2, [&](int x, int y) {
        for (int oy = -r; oy <= r; ++oy)
            for (int ox = -r; ox <= r; ++ox)
                if (in_pen(ox, oy, pen)) mark(x + ox, y + oy);
    });

    // Runs along each row; a run just like the one above it extends it.
    const std::size_t first = runs.size();
    std::vector<std::size_t> open;  // runs of the row above, which this row may extend
    for (int row = 0; row < bounds.h; ++row) {
        std::vector<std::size_t> now;
        for (int col = 0; col < bounds.w;) {
            if (!mask[static_cast<std::size_t>(row * bounds.w + col)]) {
                ++col;
                continue;
            }
            const int start = col;
            while (col < bounds.w && mask[static_cast<std::size_t>(row * bounds.w + col)]) ++col;
            const Rect run{bounds.x + start, bounds.y + row, col - start, 1};
            const auto above = std::find_if(open.begin(), open.end(), [&](std::size_t i) {
                return runs[i].x == run.x && runs[i].w == run.w;
            });
            if (above != open.end()) {
                ++runs[*above].h;
                now.push_back(*above);
            } else {
                now.push_back(runs.size());
                runs.push_back(run);
            }
        }
        open = std::move(now);
    }
    runs.erase(std::remove_if(runs.begin() + static_cast<std::ptrdiff_t>(first), runs.end(),
                              [&within](const Rect& run) { return !run.intersects(within); }),
               runs.end());
}

}  // namespace zorukan::draw
