#include "PagePlacement.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace vexilo {

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

// The paper's size in points as the PDF's page box has it, portrait.
QSizeF paperPoints(QPageSize::PageSizeId paper)
{
    return QSizeF(QPageSize(paper).sizePoints());
}

} // namespace

QPageLayout::Orientation pageOrientation(QSize pixels, PageOrientation choice)
{
    switch (choice) {
    case PageOrientation::Portrait:
        return QPageLayout::Portrait;
    case PageOrientation::Landscape:
        return QPageLayout::Landscape;
    case PageOrientation::Automatic:
        break;
    }
    return pixels.width() > pixels.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
}

std::optional<SheetPlacement> placeSheet(QSize pixels, int dpi, QSizeF page,
                                         const QMarginsF &margins)
{
    const QRectF inside = QRectF(QPointF(0, 0), page).marginsRemoved(margins);
    if (inside.width() <= 0 || inside.height() <= 0 || pixels.isEmpty() || dpi < 1)
        return std::nullopt;
    const QSizeF physical(pixels.width() * 72.0 / dpi, pixels.height() * 72.0 / dpi);
    return SheetPlacement{placeOnPage(pixels, dpi, inside, 72),
                          physical.width() > inside.width() || physical.height() > inside.height()};
}

std::optional<SheetPage> sheetPage(QSize pixels, const OutputOptions &options)
{
    const QPageLayout::Orientation orientation = pageOrientation(pixels, options.orientation);
    QSizeF page = paperPoints(options.paper);
    if (orientation == QPageLayout::Landscape)
        page.transpose();
    const std::optional<SheetPlacement> placement =
        placeSheet(pixels, options.dpi, page, marginPoints(options.marginMm));
    if (!placement)
        return std::nullopt;
    return SheetPage{
        QPageLayout(QPageSize(options.paper), orientation, QMarginsF(0, 0, 0, 0)),
        *placement,
    };
}

QMarginsF marginPoints(int marginMm)
{
    const double side = marginMm * kPointsPerMm;
    return {side, side, side, side};
}

bool marginsLeaveRoom(int marginMm, QPageSize::PageSizeId paper)
{
    const QSizeF page = paperPoints(paper);
    return 2 * marginMm * kPointsPerMm < std::min(page.width(), page.height());
}

QString noRoomReason(int marginMm, QPageSize::PageSizeId paper)
{
    const QSizeF mm = QPageSize(paper).size(QPageSize::Millimeter);
    return QStringLiteral("поля %1 мм не оставляют места на бумаге %2 (%3 × %4 мм)")
        .arg(marginMm)
        .arg(paperName(paper))
        .arg(std::lround(mm.width()))
        .arg(std::lround(mm.height()));
}

QString printedSizeText(QSize pixels, const OutputOptions &options)
{
    const auto cm = [](double points) {
        QLocale russian(QLocale::Russian);
        russian.setNumberOptions(QLocale::OmitGroupSeparator);
        return russian.toString(points / 72 * 2.54, 'f', 1);
    };
    const auto size = [&](QSizeF points) {
        return QStringLiteral("%1 × %2 см").arg(cm(points.width()), cm(points.height()));
    };
    if (pixels.isEmpty() || options.dpi < 1)
        return {};
    const QSizeF physical(pixels.width() * 72.0 / options.dpi,
                          pixels.height() * 72.0 / options.dpi);
    const QString text = QStringLiteral("При печати: ") + size(physical);
    if (options.format != OutputFormat::Pdf)
        return text;
    const std::optional<SheetPage> page = sheetPage(pixels, options);
    if (!page) {
        QString reason = noRoomReason(options.marginMm, options.paper);
        return reason.left(1).toUpper() + reason.mid(1) + QLatin1Char('.');
    }
    if (!page->placement.shrunk)
        return text;
    return text + QStringLiteral(" — больше страницы, уменьшен до ") +
           size(page->placement.sheet.size());
}

QRectF pointsToDevice(const QRectF &points, double deviceDpi)
{
    const double scale = deviceDpi / 72;
    return {points.x() * scale, points.y() * scale, points.width() * scale,
            points.height() * scale};
}

} // namespace vexilo
