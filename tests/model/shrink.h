#pragma once
// Delta debugging over a failing sequence: the test is run again from scratch
// on smaller and smaller parts of the sequence, keeping any part on which it
// still fails, until no single item can be left out.

#include <algorithm>
#include <cstddef>
#include <vector>

namespace zorukan::model {

template <typename T, typename Fails>
std::vector<T> shrink(std::vector<T> items, Fails fails) {
    if (fails(std::vector<T>{})) return {};
    std::size_t parts = 2;
    auto slice = [&](std::size_t from, std::size_t to) {
        return std::vector<T>(items.begin() + static_cast<std::ptrdiff_t>(from),
                              items.begin() + static_cast<std::ptrdiff_t>(to));
    };
    while (items.size() >= 2) {
        parts = std::min(parts, items.size());
        const std::size_t chunk = (items.size() + parts - 1) / parts;
        bool reduced = false;
        // One part on its own, then everything but one part.
        for (std::size_t from = 0; from < items.size() && !reduced; from += chunk) {
            auto part = slice(from, std::min(from + chunk, items.size()));
            if (parts > 2 && fails(part)) {
                items = std::move(part);
                parts = 2;
                reduced = true;
            }
        }
        for (std::size_t from = 0; from < items.size() && !reduced; from += chunk) {
            auto rest = slice(0, from);
            const auto after = slice(std::min(from + chunk, items.size()), items.size());
            rest.insert(rest.end(), after.begin(), after.end());
            if (fails(rest)) {
                items = std::move(rest);
                parts = std::max<std::size_t>(parts - 1, 2);
                reduced = true;
            }
        }
        if (!reduced) {
            if (parts >= items.size()) break;
            parts = std::min(parts * 2, items.size());
        }
    }
    return items;
}

}  // namespace zorukan::model
