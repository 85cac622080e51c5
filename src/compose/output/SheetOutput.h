#pragma once

#include "compose/output/GlyphPictures.h"
#include "compose/output/ImageFiles.h"

#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vexilo {

enum class OutputFormat { Bmp, Png, Pdf, Svg };

inline constexpr int kMinDpi = 1;
inline constexpr int kMaxDpi = 2400;
inline constexpr int kDefaultDpi = 96;

// The page's margins on every side, in whole millimetres.
inline constexpr int kMinMarginMm = 0;
inline constexpr int kMaxMarginMm = 100;
inline constexpr int kDefaultMarginMm = 10;

// Automatic turns the page to the sheet's shape: landscape for a sheet wider than tall.
enum class PageOrientation { Automatic, Portrait, Landscape };

// How a sheet leaves the program: the file format, one file for the whole sheet or one per
// row of months (PDF is always one page, SVG one picture), the resolution, and the page a PDF
// is laid on and a sheet is printed on. A raster set's pixels print at `dpi`; a vector set
// keeps the size of its CSS pixels (96 to the inch), and `dpi` says how many pixels BMP and
// PNG get.
struct OutputOptions
{
    OutputFormat format = OutputFormat::Bmp;
    bool whole = false;
    int dpi = kDefaultDpi;
    QPageSize::PageSizeId paper = QPageSize::A4;
    PageOrientation orientation = PageOrientation::Automatic;
    int marginMm = kDefaultMarginMm;
    // PNG, SVG and PDF: nothing is drawn where no glyph has ink.
    bool transparent = false;
};

// ".bmp", ".png", ".pdf" or ".svg".
QString outputExtension(OutputFormat format);

// The papers offered, by the names the command line and the settings use.
const std::vector<std::pair<QString, QPageSize::PageSizeId>> &paperNames();
// The paper names for a message: "A5, A4, A3, Letter или Legal".
QString paperChoices();
std::optional<QPageSize::PageSizeId> paperByName(const QString &name);
QString paperName(QPageSize::PageSizeId paper);

// The canvases of a drawn sheet, handed out one at a time onto white images of their size,
// so a sheet can be composed while it is written.
class CanvasSource
{
public:
    virtual ~CanvasSource() = default;
    virtual qint32 canvasCount() const = 0;
    virtual QSize canvasSize() const = 0;
    // From the top of one canvas to the top of the next, as the window places them.
    virtual qint32 canvasPitch() const = 0;
    // Canvas k, or its band from row `top` on, onto a white image of that size. Drawing
    // different bands of one canvas at the same time is safe.
    virtual void drawCanvas(QImage &white, qint32 k, qint32 top = 0) const = 0;
    // For outputs drawn glyph by glyph (vector files): the set and canvas k's glyphs in drawing
    // order. A source of pixels only has none.
    virtual const GlyphSet *glyphSet() const { return nullptr; }
    virtual std::vector<GlyphPlace> glyphPlaces(qint32 k) const
    {
        Q_UNUSED(k);
        return {};
    }
};

// Whether the source draws a vector set's glyphs.
bool isVectorSet(const CanvasSource &source);

// Canvases already drawn, as the window holds them.
class DrawnCanvases final : public CanvasSource
{
public:
    DrawnCanvases(std::vector<QImage> canvases, qint32 pitch);
    qint32 canvasCount() const override;
    QSize canvasSize() const override;
    qint32 canvasPitch() const override { return m_pitch; }
    void drawCanvas(QImage &white, qint32 k, qint32 top = 0) const override;

private:
    std::vector<QImage> m_canvases;
    qint32 m_pitch;
};

// The files a save writes for the chosen name: one per row of months for BMP and PNG as the
// window names them, or one file for the whole sheet and for PDF.
QStringList outputFileNames(const QString &chosenName, const QString &Razdelitel,
                            qint32 canvasCount, const OutputOptions &options);

// The whole sheet in one image: each canvas at its pitch below the one before, later canvases
// over earlier ones where they overlap, white between. Null when it would be too large.
// Whether the whole sheet stays within the canvas limits (kMaxCanvasSide, kMaxCanvasBytes).
bool wholeSheetFits(const CanvasSource &source);
// The whole sheet's size in pixels, as wholeSheet would draw it; empty without canvases.
QSize wholeSheetSize(const CanvasSource &source);
// What the user is told when the memory for a sheet cannot be had.
QString outOfMemoryMessage();
QImage wholeSheet(const CanvasSource &source);

// Clears `buffer` (of the canvas size) to white and draws canvas k on it; a large canvas's
// upper and lower halves on both cores.
void drawCanvasInParallel(const CanvasSource &source, QImage &buffer, qint32 k);
// The same for the band of canvas k from row `top` on, onto `band` of the band's size.
void drawBandInParallel(const CanvasSource &source, QImage &band, qint32 k, qint32 top);
// White, or transparent for a buffer with alpha (a transparent background).
void clearCanvas(QImage &buffer);

// Dots per inch into the image's metadata (BMP pixels per metre, PNG pHYs).
void setImageDpi(QImage &image, int dpi);

// Where an image of the given pixels goes on a page, in device units: at its physical size
// for `dpi`, scaled down (never up) to fit `printable`, aspect kept, centred.
QRectF placeOnPage(QSize pixels, int dpi, const QRectF &printable, double deviceDpi);

// Writes the sheet to the files named by outputFileNames: all of them or, when one fails,
// none (each is written beside its target first, then all are put in place as one set that a
// crash cannot split and another export cannot mix with, see SafeFileBatch). A whole PNG and a
// PDF are drawn band by band as they are written, so they take sheets of any height.
SafeWriteResult writeSheet(const CanvasSource &source, const QStringList &names,
                           const OutputOptions &options, const SafeWriteHook &hook = {});
// Stages the files writeSheet writes in `batch`, which a save of several pages commits once;
// `names` not empty, the source with canvases.
SafeWriteResult stageSheet(SafeFileBatch &batch, const CanvasSource &source,
                           const QStringList &names, const OutputOptions &options);

} // namespace vexilo
