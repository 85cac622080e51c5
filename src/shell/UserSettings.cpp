#include "UserSettings.h"

#include <QSettings>

#include <memory>

namespace vexilo {

namespace {

std::unique_ptr<QSettings> open(const QString &file)
{
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

} // namespace

OutputOptions UserSettings::loadOutputOptions() const
{
    const auto settings = open(m_file);
    OutputOptions options;
    // Anything unreadable or out of range falls back to the usual choice.
    options.paper = paperByName(settings->value(QStringLiteral("print/paper")).toString())
                        .value_or(QPageSize::A4);
    options.orientation = settings->value(QStringLiteral("print/landscape")).toBool()
                              ? QPageLayout::Landscape
                              : QPageLayout::Portrait;
    bool ok = false;
    const int dpi = settings->value(QStringLiteral("print/dpi")).toInt(&ok);
    options.dpi = ok && dpi >= kMinDpi && dpi <= kMaxDpi ? dpi : kDefaultDpi;
    options.whole = settings->value(QStringLiteral("print/wholePng"), true).toBool();
    return options;
}

void UserSettings::saveOutputOptions(const OutputOptions &options) const
{
    const auto settings = open(m_file);
    settings->setValue(QStringLiteral("print/paper"), paperName(options.paper));
    settings->setValue(QStringLiteral("print/landscape"),
                       options.orientation == QPageLayout::Landscape);
    settings->setValue(QStringLiteral("print/dpi"), options.dpi);
    settings->setValue(QStringLiteral("print/wholePng"), options.whole);
}

std::optional<GlyphStyle> UserSettings::loadGlyphStyle() const
{
    const auto settings = open(m_file);
    const QString family = settings->value(QStringLiteral("glyphs/font")).toString();
    if (family.isEmpty())
        return std::nullopt;
    GlyphStyle style;
    style.family = family;
    bool ok = false;
    const int size = settings->value(QStringLiteral("glyphs/size")).toInt(&ok);
    // Out of the range, the window keeps its usual size.
    style.pixelSize = ok ? size : 0;
    style.bold = settings->value(QStringLiteral("glyphs/bold"), true).toBool();
    style.color =
        colorFromHex(settings->value(QStringLiteral("glyphs/color")).toString()).value_or(QColor());
    return style;
}

void UserSettings::saveGlyphStyle(const GlyphStyle &style) const
{
    const auto settings = open(m_file);
    settings->setValue(QStringLiteral("glyphs/font"), style.family);
    settings->setValue(QStringLiteral("glyphs/size"), style.pixelSize);
    settings->setValue(QStringLiteral("glyphs/bold"), style.bold);
    settings->setValue(QStringLiteral("glyphs/color"), style.color.name(QColor::HexRgb));
}

std::optional<MadeGlyphFiles> UserSettings::loadGlyphFiles() const
{
    const QString kind = open(m_file)->value(QStringLiteral("glyphs/files")).toString();
    if (kind == QLatin1String("svg"))
        return MadeGlyphFiles::Svg;
    if (kind == QLatin1String("gif"))
        return MadeGlyphFiles::Gif;
    return std::nullopt;
}

void UserSettings::saveGlyphFiles(MadeGlyphFiles files) const
{
    open(m_file)->setValue(QStringLiteral("glyphs/files"), files == MadeGlyphFiles::Svg
                                                               ? QStringLiteral("svg")
                                                               : QStringLiteral("gif"));
}

} // namespace vexilo
