#pragma once

#include "common/ImageMemory.h"
#include "holidays/MonthGrid.h"

#include <QFont>
#include <QImage>

namespace vexilo {

// Sizes of the editor's two picture boxes.
constexpr qint32 kGridWidth = kGridColumns * kCellSize + 1; // 271
constexpr qint32 kGridHeight = kGridRows * kCellSize + 1;   // 316
constexpr qint32 kWeekdayColumnWidth = 31;

// The font of both picture boxes, 13.5 pt at 96 dpi, drawn without smoothing so that a number
// redrawn in another colour covers the old one exactly.
QFont pictureFont();

// The black lines every 45 pixels across and down the whole image.
void drawGridLines(QImage &image);

// A day number centred across its cell, 12 pixels below the cell's top; colour is 0x00BBGGRR.
void drawDayNumber(QImage &image, qint32 column, qint32 row, qint32 day, quint32 colour);

// "Пн" .. "Пт" in blue and "Сб", "Вс" in red, one per row.
void drawWeekdayColumn(QImage &image);

} // namespace vexilo
