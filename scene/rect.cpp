#include "scene/rect.h"

namespace zorukan::scene {

Rect Rect::intersected(const Rect& other) const {
    const int left = std::max(x, other.x), top = std::max(y, other.y);
    const int right_edge = std::min(right(), other.right()), bottom_edge = std::min(bottom(), other.bottom());
    if (right_edge <= left || bottom_edge <= top) return {};
    return {left, top, right_edge - left, bottom_edge - top};
}

Rect Rect::united(const Rect& other) const {
    if (empty()) return other;
    if (other.empty()) return *this;
    const int left = std::min(x, other.x), top = std::min(y, other.y);
    return {left, top, std::max(right(), other.right()) - left, std::max(bottom(), other.bottom()) - top};
}

}  // namespace zorukan::scene
