#pragma once

#include <QImage>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace vexilo {

// Where each row of a glyph image holds ink, anything but white: first and last column, or
// first > last for a row that is all white.
struct GlyphInk
{
    std::vector<std::pair<int, int>> rows;
};
GlyphInk inkOf(const QImage &glyph);

// The ink of a set's holders: found once when the set is loaded, so each sheet need not.
struct SheetInk
{
    std::array<GlyphInk, 10> digits;
    std::array<GlyphInk, 7> weekdays;
    std::array<GlyphInk, 12> titles; // month titles, January first
};

// A canvas that started white, with the columns of each row that may hold ink by now. A glyph
// copied where its row meets no ink needs only its own ink copied: its white would land on
// white. Where it does meet ink the whole row is copied, so the pixels are always those of a
// plain opaque copy.
class InkedRows
{
public:
    explicit InkedRows(int height);

    // An opaque copy of the glyph at (x, y), clipped at the canvas edges.
    void copy(QImage &canvas, const QImage &glyph, const GlyphInk &ink, qint64 x, qint64 y);
    // Anything drawn otherwise inside these canvas columns and rows (right, bottom exclusive).
    void covered(qint64 left, qint64 right, qint64 top, qint64 bottom);

private:
    // Widens the row's inked columns to take in first..last; here, so copies inline it.
    void add(std::size_t row, int first, int last)
    {
        auto &[inkFirst, inkLast] = m_rows[row];
        if (inkFirst > inkLast) {
            inkFirst = first;
            inkLast = last;
        } else {
            inkFirst = std::min(inkFirst, first);
            inkLast = std::max(inkLast, last);
        }
    }

    std::vector<std::pair<int, int>> m_rows;
};

} // namespace vexilo
