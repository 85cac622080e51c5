#pragma once

#include "compose/output/SheetOutput.h"

#include <QFrame>
#include <QImage>

#include <vector>

class QScrollBar;

namespace vexilo {

class PictureBox;
class Sheet;
struct SheetGeometry;

// The main window's viewport: a sunken frame holding the canvases of a sheet, one per row of
// months, scrolled together by two bars with a corner box between them. A sheet of several
// pages shows them one below the other, "Месяцы Y" apart.
class SheetView : public QFrame
{
    Q_OBJECT
public:
    static constexpr int kBarSize = 17;
    static constexpr int kCanvasCount = 6;

    // KolRisunkov is the program-wide highest canvas index in use, read at every scroll.
    SheetView(const qint32 &KolRisunkov, QWidget *parent);

    // The canvases 1..5 made as copies of canvas 0: same size, white, hidden; more are made
    // when the pages of a sheet need them.
    void createCanvases();
    // Where a bar's focus goes while nothing is drawn.
    void setFocusFallback(QWidget *widget) { m_focusFallback = widget; }
    // A command button whose arrow and page keys scroll the sheet instead of walking the focus
    // on to the next control, where a Down would change a list.
    void takeKeysOf(QWidget *command);

    void setViewportColour(QColor colour);
    // The inner area, the bars and the corner box follow the frame's size.
    void layoutInside();

    // Canvases 0..KolRisunkov moved under each other at the geometry's pitch, resized, white
    // and shown; the others cleared and hidden.
    void placeCanvases(const SheetGeometry &geometry, bool yearSheet);
    // Every page's canvases placed as placeCanvases places one page's, each page below the one
    // before; the described year and month sheets exactly as placeCanvases.
    void placePages(const Sheet &sheet, bool yearSheet);
    // The canvases placed by placePages, drawn.
    void drawPages(const Sheet &sheet);
    PictureBox *canvas(qint32 k) const { return picRisunok[static_cast<std::size_t>(k)]; }
    // The images of the canvases in use, top to bottom.
    std::vector<QImage> images() const;
    // Those images page by page, each page's at its pitch.
    std::vector<DrawnCanvases> drawnPages() const;
    bool hasSheet() const;

    qint32 shagRisunkov() const { return ShagRisunkov; }

    // The sheet holds the keyboard focus, which its keys scroll.
    void takeFocus();

    void Prokrutka();
    void HScroll1_Change(int value);
    void VScroll1_Change(int value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The highest canvas index in use: KolRisunkov within the six canvases for one page.
    qint32 lastCanvas() const;
    // Canvas k cleared and hidden.
    void hideCanvas(std::size_t k);
    // Where canvas k lies, unscrolled.
    qint64 canvasTop(qint32 k) const;
    // Wheel and keys over the sheet move it through the scroll bars; true when used.
    bool scrollSheet(QEvent *event);

    const qint32 &m_KolRisunkov;
    QWidget *m_focusFallback = nullptr;
    QWidget *picControlInner = nullptr; // the area inside the sunken border
    QScrollBar *VScroll1 = nullptr;
    QScrollBar *HScroll1 = nullptr;
    QWidget *PctrUgol = nullptr;
    std::vector<PictureBox *> picRisunok;
    qint32 ShagRisunkov = 0; // vertical pitch of the canvases
    // A sheet of several pages: each canvas's place and each page's canvas count and pitch;
    // empty for one page, whose canvases lie at ShagRisunkov.
    std::vector<qint64> m_tops;
    std::vector<std::pair<qint32, qint32>> m_pages;
    std::vector<QWidget *> m_commands;
};

} // namespace vexilo
