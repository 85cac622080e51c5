#include "SheetDocument.h"

#include "common/ImageMemory.h"
#include "compose/output/PagePlacement.h"
#include "compose/output/SheetRender.h"
#include "compose/output/SheetStream.h"

#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace vexilo {

std::vector<Sheet> pagesOf(const Sheet &sheet)
{
    std::vector<Sheet> pages;
    for (qint32 p = 0; p < sheet.pageCount(); ++p)
        pages.push_back(sheet.onPage(p));
    return pages;
}

namespace {

QString pageName(const QString &stem, qint32 page, const OutputOptions &options)
{
    // The extension goes back on, so a dot in the stem is never taken for one.
    return stem + QStringLiteral("_стр") + QString::number(page) + outputExtension(options.format);
}

bool encodePdfPages(const SheetPages &pages, const OutputOptions &options, QIODevice &device)
{
    std::vector<SheetPage> placed;
    for (const CanvasSource *page : pages) {
        const std::optional<SheetPage> sheet = sheetPage(wholeSheetSize(*page), options);
        if (!sheet)
            return false;
        placed.push_back(*sheet);
    }
    QPdfWriter writer(&device);
    writer.setCreator(QStringLiteral("Vexilo"));
    writer.setPageLayout(placed.front().layout);
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    bool painted = true;
    for (std::size_t p = 0; p < pages.size() && painted; ++p) {
        // Each page turned for its own sheet.
        if (p > 0)
            painted = writer.setPageLayout(placed[p].layout) && writer.newPage();
        painted = painted &&
                  paintSheetPage(painter, *pages[p],
                                 pointsToDevice(placed[p].placement.sheet, writer.resolution()),
                                 options.transparent);
    }
    return painter.end() && painted;
}

bool encodeVectorPdfPages(const SheetPages &pages, const OutputOptions &options, QIODevice &device)
{
    std::vector<VectorPdfPage> placed;
    for (const CanvasSource *page : pages) {
        const std::optional<VectorPdfPage> onPage = vectorPdfPage(*page, options);
        if (!onPage)
            return false;
        placed.push_back(*onPage);
    }
    return writeVectorPdf(placed, options.transparent, device, options.dpi);
}

} // namespace

std::optional<VectorPdfPage> vectorPdfPage(const CanvasSource &source, const OutputOptions &options)
{
    // The sheet keeps the physical size of its CSS pixels, whatever pixels BMP and PNG get.
    OutputOptions page = options;
    page.dpi = kDefaultDpi;
    const auto placed = sheetPage(wholeSheetSize(source), page);
    if (!placed)
        return std::nullopt;
    // Unshrunk, the sheet starts on a whole CSS pixel, so a page shown at 96 dpi puts its
    // glyphs on the same pixel grid as the PNG.
    QRectF target = placed->placement.sheet;
    constexpr double kPointsPerPixel = 72.0 / kDefaultDpi;
    if (!placed->placement.shrunk)
        target.moveTopLeft(QPointF(std::round(target.x() / kPointsPerPixel),
                                   std::round(target.y() / kPointsPerPixel)) *
                           kPointsPerPixel);
    return VectorPdfPage{&source, placed->layout.fullRectPoints().size(), target};
}

QStringList documentFileNames(const QString &chosenName, const QString &Razdelitel,
                              const SheetPages &pages, const OutputOptions &options)
{
    if (pages.empty())
        return {};
    if (pages.size() == 1 || options.format == OutputFormat::Pdf)
        return outputFileNames(chosenName, Razdelitel, pages.front()->canvasCount(), options);
    QString stem = chosenName;
    if (const qint32 dot = PoiskTochki(stem, Razdelitel); dot > 0)
        stem.truncate(dot - 1);
    QStringList names;
    for (std::size_t p = 0; p < pages.size(); ++p)
        names += outputFileNames(pageName(stem, qint32(p + 1), options), Razdelitel,
                                 pages[p]->canvasCount(), options);
    return names;
}

SafeWriteResult writeDocument(const SheetPages &pages, const QStringList &names,
                              const OutputOptions &options, const SafeWriteHook &hook)
{
    if (pages.size() == 1)
        return writeSheet(*pages.front(), names, options, hook);
    if (pages.empty() || names.isEmpty())
        return {};
    for (const CanvasSource *page : pages)
        if (page->canvasCount() < 1)
            return {};
    SafeFileBatch batch({Durability::Unsynced, hook});
    SafeWriteResult staged;
    if (options.format == OutputFormat::Pdf) {
        const bool vector = isVectorSet(*pages.front());
        // The largest band a raster page is drawn in must be had before the file is begun.
        if (!vector)
            for (const CanvasSource *page : pages)
                if (canvasBuffer(page->canvasSize(), canvasFormat(options)).isNull())
                    return refusedWrite(names.front(), outOfMemoryMessage());
        staged = batch.stage(names.front(), [&](QIODevice &device) {
            return vector ? encodeVectorPdfPages(pages, options, device)
                          : encodePdfPages(pages, options, device);
        });
        return staged.ok ? batch.commit() : staged;
    }
    // Each page's files as a sheet of its own writes them, into the one batch.
    qsizetype first = 0;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const qsizetype count =
            outputFileNames(QStringLiteral("x"), {}, pages[p]->canvasCount(), options).size();
        if (first + count > names.size())
            break;
        staged = stageSheet(batch, *pages[p], names.mid(first, count), options);
        if (!staged.ok)
            return staged;
        first += count;
    }
    return batch.commit();
}

} // namespace vexilo
