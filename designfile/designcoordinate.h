#pragma once

#include <algorithm>
#include <cmath>

// A position read from a design file as the canvas holds it: whole pixels, within a range the
// canvas and its scroll bars can take, and 0 for values that are no number at all. The editor
// and the command-line generator both place blocks this way, so they order them alike.
inline int designCoordinate(double value) {
    constexpr double limit = 1000000;
    if (!std::isfinite(value)) {
        return 0;
    }
    return int(std::clamp(value, -limit, limit));
}
