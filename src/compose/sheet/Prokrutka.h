#pragma once

#include <QtGlobal>

namespace vexilo {

// Which scroll bars the viewport needs and their ranges. The vertical bar is decided first;
// its width can make the horizontal one needed, whose height can in turn make the vertical
// one needed, so one pass in this order settles both.
struct ScrollPlan
{
    bool horizontal = false;
    bool vertical = false;
    qint32 hWidth = 0; // bar length, also the large step
    qint32 hMax = 0;
    qint32 hSmall = 0;
    qint32 vHeight = 0;
    qint32 vMax = 0;
    qint32 vSmall = 0;
};

constexpr qint32 kScrollBarSize = 17;

// viewport: inner size W x H; content: width of the last canvas, bottom of the last canvas
// in the unscrolled layout, and the width of canvas 0.
ScrollPlan planScrollBars(qint32 W, qint32 H, qint64 contentWidth, qint64 contentHeight,
                          qint64 firstCanvasWidth);

} // namespace vexilo
