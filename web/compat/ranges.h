#pragma once
// Emscripten 3.1.6's C++ library has concepts and ranges' access but none of
// the ranges algorithms and views that the core uses (find, find_if,
// views::reverse). Until the core keeps to what this library has, the web
// build includes these few stand-ins in every core file (web/CMakeLists.txt).

#include <algorithm>
#include <functional>
#include <iterator>
#include <ranges>

namespace std::ranges {

template <class Range, class Predicate>
auto find_if(Range&& range, Predicate predicate) {
    return std::find_if(std::begin(range), std::end(range), std::move(predicate));
}

template <class Range, class Value, class Projection = std::identity>
auto find(Range&& range, const Value& value, Projection projection = {}) {
    return std::find_if(std::begin(range), std::end(range),
                        [&](const auto& element) { return std::invoke(projection, element) == value; });
}

}  // namespace std::ranges

namespace std::views {

// `range | views::reverse` over a range that lives through the loop.
template <class Range>
struct Reversed {
    Range range;
    auto begin() const { return std::rbegin(range); }
    auto end() const { return std::rend(range); }
};

inline constexpr struct ReverseAdaptor {
    template <class Range>
    friend auto operator|(Range&& range, ReverseAdaptor) {
        return Reversed<Range>{std::forward<Range>(range)};
    }
} reverse;

}  // namespace std::views
