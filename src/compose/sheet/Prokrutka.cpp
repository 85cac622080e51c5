#include "Prokrutka.h"

#include <algorithm>
#include <limits>

namespace vexilo {

namespace {

qint32 clampToInt32(qint64 value)
{
    return static_cast<qint32>(std::clamp<qint64>(value, 0, std::numeric_limits<qint32>::max()));
}

} // namespace

ScrollPlan planScrollBars(qint32 W, qint32 H, qint64 contentWidth, qint64 contentHeight,
                          qint64 firstCanvasWidth)
{
    ScrollPlan plan;
    qint64 dx = contentWidth - W;
    qint64 dy = contentHeight - H;
    if (dy > 0)
        dx += kScrollBarSize;
    plan.horizontal = dx > 0;
    if (plan.horizontal)
        dy += kScrollBarSize;
    plan.vertical = dy > 0;

    if (plan.horizontal) {
        plan.hWidth = plan.vertical ? W - kScrollBarSize : W;
        plan.hMax = clampToInt32(firstCanvasWidth - plan.hWidth);
        plan.hSmall = plan.hWidth / 2;
    }
    if (plan.vertical) {
        plan.vHeight = plan.horizontal ? H - kScrollBarSize : H;
        plan.vMax = clampToInt32(contentHeight - plan.vHeight);
        plan.vSmall = plan.vHeight / 2;
    }
    return plan;
}

} // namespace vexilo
