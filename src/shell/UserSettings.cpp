#include "UserSettings.h"

#include <QSettings>

#include <memory>

namespace vexilo {

namespace {

std::unique_ptr<QSettings> userSettings()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("vexilo"), QStringLiteral("vexilo"));
}

} // namespace

OutputOptions loadOutputOptions()
{
    const auto settings = userSettings();
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

void saveOutputOptions(const OutputOptions &options)
{
    const auto settings = userSettings();
    settings->setValue(QStringLiteral("print/paper"), paperName(options.paper));
    settings->setValue(QStringLiteral("print/landscape"),
                       options.orientation == QPageLayout::Landscape);
    settings->setValue(QStringLiteral("print/dpi"), options.dpi);
    settings->setValue(QStringLiteral("print/wholePng"), options.whole);
}

} // namespace vexilo
