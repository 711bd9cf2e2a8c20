#pragma once
// What the game draws on the window: the shell's trace. Lines stay until the
// whole window is repainted; a repaint of part of it (a box closing over it,
// the explosion appearing, the barrel turning) redraws them from here.

#include <cstddef>
#include <vector>

namespace zorukan::runtime {

struct Segment {
    float x1, y1, x2, y2;  // twips, window coordinates

    friend bool operator==(const Segment&, const Segment&) = default;
};

class TraceObserver {
public:
    virtual ~TraceObserver() = default;
    virtual void segment_drawn(const Segment& segment) = 0;
    virtual void window_repainted() = 0;
};

class Trace {
public:
    // The segments in runs of kRun, in the order drawn, each run with the box
    // that holds all of its segments: a repaint of a small area can pass over
    // a whole run of the shell's path at once.
    static constexpr std::size_t kRun = 8;
    struct Bounds {
        float left, top, right, bottom;
    };

    void set_observer(TraceObserver* observer) { observer_ = observer; }

    // Draws a one-pixel black line over the scene.
    void line(float x1, float y1, float x2, float y2);

    // Repaints the whole window from its scene, wiping every line.
    void repaint_window();

    const std::vector<Segment>& segments() const { return segments_; }
    // run_bounds()[i] holds segments()[i * kRun] up to the next run.
    const std::vector<Bounds>& run_bounds() const { return run_bounds_; }

private:
    std::vector<Segment> segments_;
    std::vector<Bounds> run_bounds_;
    TraceObserver* observer_ = nullptr;
};

}  // namespace zorukan::runtime
