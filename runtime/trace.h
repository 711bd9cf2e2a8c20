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
    void set_observer(TraceObserver* observer) { observer_ = observer; }

    // Draws a one-pixel black line over the scene.
    void line(float x1, float y1, float x2, float y2);

    // Repaints the whole window from its scene, wiping every line.
    void repaint_window();

    const std::vector<Segment>& segments() const { return segments_; }

private:
    std::vector<Segment> segments_;
    TraceObserver* observer_ = nullptr;
};

}  // namespace zorukan::runtime
