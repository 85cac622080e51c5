#include "SheetOutput.h"

#include "common/ImageMemory.h"
#include "common/SafeFile.h"
#include "compose/output/PagePlacement.h"
#include "compose/output/SheetDocument.h"
#include "compose/output/SheetStream.h"
#include "compose/output/VectorSheet.h"
#include "compose/sheet/SheetLayout.h"

#include <QIODevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <future>
#include <system_error>

namespace vexilo {

QString outputExtension(OutputFormat format)
{
    switch (format) {
    case OutputFormat::Png:
        return QStringLiteral(".png");
    case OutputFormat::Pdf:
        return QStringLiteral(".pdf");
    case OutputFormat::Svg:
        return QStringLiteral(".svg");
    case OutputFormat::Bmp:
        break;
    }
    return QStringLiteral(".bmp");
}

const std::vector<std::pair<QString, QPageSize::PageSizeId>> &paperNames()
{
    static const std::vector<std::pair<QString, QPageSize::PageSizeId>> papers = {
        {QStringLiteral("A5"), QPageSize::A5},       {QStringLiteral("A4"), QPageSize::A4},
        {QStringLiteral("A3"), QPageSize::A3},       {QStringLiteral("Letter"), QPageSize::Letter},
        {QStringLiteral("Legal"), QPageSize::Legal},
    };
    return papers;
}

QString paperChoices()
{
    QStringList names;
    for (const auto &[name, id] : paperNames())
        names.append(name);
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" или ") + last;
}

std::optional<QPageSize::PageSizeId> paperByName(const QString &name)
{
    for (const auto &[paperName, id] : paperNames())
        if (paperName.compare(name, Qt::CaseInsensitive) == 0)
            return id;
    return std::nullopt;
}

QString paperName(QPageSize::PageSizeId paper)
{
    for (const auto &[name, id] : paperNames())
        if (id == paper)
            return name;
    return QStringLiteral("A4");
}

DrawnCanvases::DrawnCanvases(std::vector<QImage> canvases, qint32 pitch)
    : m_canvases(std::move(canvases)), m_pitch(pitch)
{}

qint32 DrawnCanvases::canvasCount() const
{
    return static_cast<qint32>(m_canvases.size());
}

QSize DrawnCanvases::canvasSize() const
{
    return m_canvases.empty() ? QSize() : m_canvases.front().size();
}

void DrawnCanvases::drawCanvas(QImage &white, qint32 k, qint32 top) const
{
    if (k < 0 || std::size_t(k) >= m_canvases.size())
        return;
    const QImage &from = m_canvases[static_cast<std::size_t>(k)];
    const int rows = std::min(from.height() - top, white.height());
    const auto bytes =
        static_cast<std::size_t>(std::min(from.bytesPerLine(), white.bytesPerLine()));
    for (int y = 0; y < rows; ++y)
        std::memcpy(white.scanLine(y), from.constScanLine(y + top), bytes);
}

void clearCanvas(QImage &buffer)
{
    buffer.fill(buffer.hasAlphaChannel() ? Qt::transparent : Qt::white);
}

void drawBandInParallel(const CanvasSource &source, QImage &band, qint32 k, qint32 top)
{
    // A small band is drawn sooner than a second thread starts.
    if (qint64(band.width()) * band.height() < (qint64(1) << 22)) {
        clearCanvas(band);
        source.drawCanvas(band, k, top);
        return;
    }
    const int half = band.height() / 2;
    // Both halves are cut here, in one thread: asking the image for its bits is not thread-safe.
    QImage lowerBand = rowsOf(band, half, band.height() - half);
    QImage upper = rowsOf(band, 0, half);
    const auto drawLower = [&] {
        clearCanvas(lowerBand);
        source.drawCanvas(lowerBand, k, top + half);
    };
    // No second thread to be had (a process at its limit): the same pixels on this one.
    std::future<void> lower;
    try {
        lower = std::async(std::launch::async, drawLower);
    } catch (const std::system_error &) {
        drawLower();
    }
    clearCanvas(upper);
    source.drawCanvas(upper, k, top);
    if (lower.valid())
        lower.get();
}

void drawCanvasInParallel(const CanvasSource &source, QImage &buffer, qint32 k)
{
    drawBandInParallel(source, buffer, k, 0);
}

QStringList outputFileNames(const QString &chosenName, const QString &Razdelitel,
                            qint32 canvasCount, const OutputOptions &options)
{
    const bool oneFile =
        options.whole || options.format == OutputFormat::Pdf || options.format == OutputFormat::Svg;
    return exportFileNames(chosenName, Razdelitel, oneFile ? 0 : canvasCount - 1,
                           outputExtension(options.format));
}

bool wholeSheetFits(const CanvasSource &source)
{
    const QSize size = source.canvasSize();
    const qint64 last = qint64(source.canvasCount() - 1) * source.canvasPitch();
    const qint64 height =
        std::max<qint64>(size.height(), last + size.height()) - std::min<qint64>(0, last);
    return !size.isEmpty() && height <= kMaxCanvasSide &&
           height * size.width() * 4 <= kMaxCanvasBytes;
}

bool isVectorSet(const CanvasSource &source)
{
    const GlyphSet *glyphs = source.glyphSet();
    return glyphs != nullptr && glyphs->kind == GlyphKind::Vector;
}

QSize wholeSheetSize(const CanvasSource &source)
{
    const QSize size = source.canvasSize();
    if (source.canvasCount() < 1 || size.isEmpty())
        return {};
    const qint64 last = qint64(source.canvasCount() - 1) * source.canvasPitch();
    const qint64 height =
        std::max<qint64>(size.height(), last + size.height()) - std::min<qint64>(0, last);
    return {size.width(), static_cast<int>(std::min<qint64>(height, INT_MAX))};
}

QString outOfMemoryMessage()
{
    return QStringLiteral("Не хватает памяти, чтобы нарисовать лист целиком.");
}

QImage wholeSheet(const CanvasSource &source)
{
    const QSize size = source.canvasSize();
    const qint64 last = qint64(source.canvasCount() - 1) * source.canvasPitch();
    const qint64 top = std::min<qint64>(0, last);
    const qint64 bottom = std::max<qint64>(size.height(), last + size.height());
    const qint64 height = bottom - top;
    if (!wholeSheetFits(source))
        return {};
    QImage whole = canvasBuffer({size.width(), static_cast<int>(height)});
    if (whole.isNull())
        return {};
    whole.fill(Qt::white);
    for (qint32 k = 0; k < source.canvasCount(); ++k) {
        // Each canvas is drawn straight into its band of the whole image: no second copy.
        const qint64 y = qint64(k) * source.canvasPitch() - top;
        QImage band = rowsOf(whole, static_cast<int>(y), size.height());
        drawCanvasInParallel(source, band, k);
    }
    return whole;
}

void setImageDpi(QImage &image, int dpi)
{
    const int perMetre = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(perMetre);
    image.setDotsPerMeterY(perMetre);
}

QRectF placeOnPage(QSize pixels, int dpi, const QRectF &printable, double deviceDpi)
{
    QSizeF size(pixels.width() * deviceDpi / dpi, pixels.height() * deviceDpi / dpi);
    if (size.width() > printable.width() || size.height() > printable.height())
        size = size.scaled(printable.size(), Qt::KeepAspectRatio);
    return {printable.center().x() - size.width() / 2, printable.center().y() - size.height() / 2,
            size.width(), size.height()};
}

namespace {

bool encodePdf(const CanvasSource &source, const OutputOptions &options, QIODevice &device)
{
    // Options that leave no room are refused before anything is drawn.
    const std::optional<SheetPage> page = sheetPage(wholeSheetSize(source), options);
    if (!page)
        return false;
    QPdfWriter writer(&device);
    writer.setCreator(QStringLiteral("Vexilo"));
    writer.setPageLayout(page->layout);
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    const bool painted =
        paintSheetPage(painter, source, pointsToDevice(page->placement.sheet, writer.resolution()),
                       options.transparent);
    return painter.end() && painted;
}

Producer sheetProducer(QImage &image, const OutputOptions &options)
{
    setImageDpi(image, options.dpi);
    return imageProducer(image, options.format == OutputFormat::Png ? "png" : "bmp");
}

// SVG files, and PDF pages of a vector set, are drawn glyph by glyph.
std::optional<Producer> vectorProducer(const CanvasSource &source, const OutputOptions &options)
{
    if (options.format == OutputFormat::Svg)
        return [&source, options](QIODevice &device) {
            return writeSvgSheet(source, options.transparent, device, options.dpi);
        };
    if (options.format != OutputFormat::Pdf || !isVectorSet(source))
        return std::nullopt;
    return [&source, options](QIODevice &device) {
        const std::optional<VectorPdfPage> page = vectorPdfPage(source, options);
        return page && writeVectorPdf(source, options.transparent, page->pageSize, page->target,
                                      device, options.dpi);
    };
}

// The whole sheet in one file: PNG and PDF drawn band by band as they are written, BMP (whose
// rows go bottom up) composed first.
SafeWriteResult stageWhole(SafeFileBatch &batch, const CanvasSource &source, const QString &name,
                           const OutputOptions &options)
{
    if (options.format != OutputFormat::Bmp &&
        canvasBuffer(source.canvasSize(), canvasFormat(options)).isNull())
        return refusedWrite(name, outOfMemoryMessage());
    if (options.format == OutputFormat::Pdf)
        return batch.stage(name, [&source, &options](QIODevice &device) {
            return encodePdf(source, options, device);
        });
    if (options.format == OutputFormat::Png && sheetHeight(source) > kMaxPngHeight)
        return refusedWrite(name, sheetErrorMessage(SheetError::TooLarge));
    if (options.format == OutputFormat::Png)
        return batch.stage(name, [&source, &options](QIODevice &device) {
            return writeWholePng(source, options, device);
        });
    QImage whole = wholeSheet(source);
    if (whole.isNull())
        return refusedWrite(name, wholeSheetFits(source) ? outOfMemoryMessage()
                                                         : sheetErrorMessage(SheetError::TooLarge));
    return batch.stage(name, sheetProducer(whole, options));
}

} // namespace

SafeWriteResult stageSheet(SafeFileBatch &batch, const CanvasSource &source,
                           const QStringList &names, const OutputOptions &options)
{
    if (const auto producer = vectorProducer(source, options))
        return batch.stage(names.front(), *producer);
    if (names.size() == 1)
        return stageWhole(batch, source, names.front(), options);
    // One canvas in memory at a time, drawn again for each row and written beside its file.
    QImage canvas = canvasBuffer(source.canvasSize(), canvasFormat(options));
    if (canvas.isNull())
        return refusedWrite(names.front(), outOfMemoryMessage());
    SafeWriteResult staged;
    for (qint32 k = 0; k < source.canvasCount() && k < names.size(); ++k) {
        drawCanvasInParallel(source, canvas, k);
        staged = batch.stage(names[k], sheetProducer(canvas, options));
        if (!staged.ok)
            return staged;
    }
    return staged;
}

SafeWriteResult writeSheet(const CanvasSource &source, const QStringList &names,
                           const OutputOptions &options, const SafeWriteHook &hook)
{
    if (names.isEmpty() || source.canvasCount() < 1)
        return {};
    SafeFileBatch batch({Durability::Unsynced, hook});
    const SafeWriteResult staged = stageSheet(batch, source, names, options);
    return staged.ok ? batch.commit() : staged;
}

} // namespace vexilo
