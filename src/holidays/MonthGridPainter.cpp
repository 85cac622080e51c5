#include "MonthGridPainter.h"

#include "common/ColorRef.h"
#include "common/ProgramText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QtMath>

namespace vexilo {

namespace {

constexpr quint32 kBlueRef = 0x00FF0000u;
constexpr quint32 kRedRef = 0x000000FFu;

// Text placed by the top-left corner of its box, with a transparent background.
void drawTextAt(QImage &image, QPointF topLeft, const QString &text, quint32 colour)
{
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    const QFont font = pictureFont();
    painter.setFont(font);
    painter.setPen(QColor::fromRgb(fromColorRef(colour)));
    painter.drawText(QPointF(topLeft.x(), topLeft.y() + QFontMetricsF(font).ascent()), text);
}

} // namespace

QFont pictureFont()
{
    QFont font = designFont(12, false);
    font.setPixelSize(18); // 13.5 pt at 96 dpi, whatever the screen
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

void drawGridLines(QImage &image)
{
    // Filled one-pixel rectangles rather than lines: exact pixels, no smoothing.
    QPainter painter(&image);
    const QSizeF size = image.deviceIndependentSize();
    for (int k = 0; k <= kGridRows; ++k) {
        painter.fillRect(QRectF(0, kCellSize * k, size.width(), 1), Qt::black);
        painter.fillRect(QRectF(kCellSize * k, 0, 1, size.height()), Qt::black);
    }
}

void drawDayNumber(QImage &image, qint32 column, qint32 row, qint32 day, quint32 colour)
{
    const QString text = QString::number(day);
    const double width = QFontMetricsF(pictureFont()).horizontalAdvance(text);
    drawTextAt(image, QPointF(dayTextLeft(column, width), kCellSize * row + kDayTextTop), text,
               colour);
}

void drawWeekdayColumn(QImage &image)
{
    const std::array<QString, 7> &kNames = weekdayNames();
    for (int j = 0; j < 7; ++j)
        drawTextAt(image, QPointF(0, kCellSize * j + kDayTextTop),
                   kNames[static_cast<std::size_t>(j)], j < 5 ? kBlueRef : kRedRef);
}

} // namespace vexilo
