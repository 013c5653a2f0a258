// The visible part of the world as minimap rectangles.
#include "view_state/world_overview.hpp"

#include <algorithm>

namespace korvan {

MiniRects WorldOverview::viewport(Point lo, Point hi) const {
    const double top = std::clamp((lo.y + 1) / height, 0.0, 1.0);
    const double bottom = std::clamp((hi.y + 1) / height, 0.0, 1.0);
    if (top >= bottom || lo.x >= hi.x) {
        return {};
    }
    const double y = area.y + area.h * top;
    const double h = area.h * (bottom - top);
    if (period <= hi.x - lo.x) {
        MiniRects whole;
        whole.push_back({area.x, y, area.w, h});
        return whole;
    }
    double start = std::fmod(lo.x, period);
    start += start < 0 ? period : 0;
    const double end = start + (hi.x - lo.x);
    MiniRects rects;
    rects.push_back({area.x + start / period * area.w, y, area.w * (std::min(end, period) - start) / period, h});
    if (end > period) {
        rects.push_back({area.x, y, (end - period) / period * area.w, h});
    }
    return rects;
}

} // namespace korvan
