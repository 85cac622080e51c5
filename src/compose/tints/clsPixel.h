#pragma once

#include <QImage>
#include <QtGlobal>

#include <optional>
#include <vector>

namespace vexilo {

// A glyph bitmap: one colour per pixel, columns 0..Width and rows 0..Height (both inclusive).
// Colours go in and out as 0x00BBGGRR; inside they are kept as Qt pixels, row by row, so that
// drawing is a copy of rows.
class clsPixel
{
public:
    qint32 Width = 0;
    qint32 Height = 0;

    // Drops any previous matrix and makes columns 0..W by rows 0..H, every cell 0.
    // Negative bounds leave no matrix at all.
    void Start(qint32 W, qint32 H);
    // Each returns false (and stores nothing) outside the bounds or before Start.
    [[nodiscard]] bool Add(qint32 X, qint32 Y, quint32 Cv);
    [[nodiscard]] std::optional<quint32> ListC(qint32 X, qint32 Y) const;

    bool hasMatrix() const { return m_started; }
    // Row y as Qt pixels (Width + 1 of them); y must be within 0..Height.
    const QRgb *row(qint32 y) const;
    QRgb *row(qint32 y);

private:
    bool inBounds(qint32 X, qint32 Y) const;

    std::vector<QRgb> m_cells;
    bool m_started = false;
};

// Draws the bitmap with its cell (0, 0) at canvas pixel (x, y): every pixel of the rectangle
// replaces what the canvas held, clipped at the canvas edges.
void RisovatPixel(QImage &canvas, const clsPixel &bitmap, qint32 x, qint32 y);

} // namespace vexilo
