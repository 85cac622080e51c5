#include "UserSettings.h"

#include "compose/output/PagePlacement.h"

#include <QDate>
#include <QFileInfo>
#include <QSettings>

#include <array>
#include <memory>

namespace vexilo {

namespace {

std::unique_ptr<QSettings> open(const QString &file)
{
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

const QString kOrientation = QStringLiteral("print/orientation");
// What older copies keep: true for landscape, false for portrait, both chosen by the user.
const QString kLandscape = QStringLiteral("print/landscape");

const std::array<std::pair<const char *, PageOrientation>, 3> kOrientationNames = {{
    {"auto", PageOrientation::Automatic},
    {"portrait", PageOrientation::Portrait},
    {"landscape", PageOrientation::Landscape},
}};

PageOrientation loadOrientation(const QSettings &settings)
{
    const QString name = settings.value(kOrientation).toString();
    for (const auto &[word, orientation] : kOrientationNames)
        if (name == QLatin1String(word))
            return orientation;
    if (!settings.contains(kLandscape))
        return PageOrientation::Automatic;
    return settings.value(kLandscape).toBool() ? PageOrientation::Landscape
                                               : PageOrientation::Portrait;
}

QString orientationName(PageOrientation orientation)
{
    for (const auto &[word, value] : kOrientationNames)
        if (value == orientation)
            return QLatin1String(word);
    return QStringLiteral("auto");
}

const std::array<std::pair<const char *, ViewPreset>, 4> kPresetNames = {{
    {"year", ViewPreset::YearOrMonth},
    {"school", ViewPreset::SchoolYear},
    {"wall", ViewPreset::Wall},
    {"quarterly", ViewPreset::Quarterly},
}};

const std::array<std::pair<const char *, TitleAlign>, 4> kTitleNames = {{
    {"none", TitleAlign::None},
    {"left", TitleAlign::Left},
    {"centre", TitleAlign::Centre},
    {"right", TitleAlign::Right},
}};

template <typename Value, std::size_t N>
Value named(const std::array<std::pair<const char *, Value>, N> &names, const QString &name,
            Value fallback)
{
    for (const auto &[word, value] : names)
        if (name == QLatin1String(word))
            return value;
    return fallback;
}

template <typename Value, std::size_t N>
QString nameOf(const std::array<std::pair<const char *, Value>, N> &names, Value value)
{
    for (const auto &[word, known] : names)
        if (known == value)
            return QLatin1String(word);
    return QLatin1String(names.front().first);
}

// A whole number kept under `key` when it passes `allowed`, else `fallback`.
template <typename Allowed>
qint32 keptNumber(const QSettings &settings, const QString &key, qint32 fallback, Allowed allowed)
{
    bool ok = false;
    const int value = settings.value(key).toInt(&ok);
    return ok && allowed(value) ? value : fallback;
}

} // namespace

OutputOptions UserSettings::loadOutputOptions() const
{
    const auto settings = open(m_file);
    OutputOptions options;
    // Anything unreadable or out of range falls back to the usual choice.
    options.paper = paperByName(settings->value(QStringLiteral("print/paper")).toString())
                        .value_or(QPageSize::A4);
    options.orientation = loadOrientation(*settings);
    bool ok = false;
    const int dpi = settings->value(QStringLiteral("print/dpi")).toInt(&ok);
    options.dpi = ok && dpi >= kMinDpi && dpi <= kMaxDpi ? dpi : kDefaultDpi;
    options.whole = settings->value(QStringLiteral("print/wholePng"), true).toBool();
    const int margin = settings->value(QStringLiteral("print/marginMm")).toInt(&ok);
    // Margins that leave no room on the remembered paper are no choice either.
    options.marginMm = ok && margin >= kMinMarginMm && margin <= kMaxMarginMm &&
                               marginsLeaveRoom(margin, options.paper)
                           ? margin
                           : kDefaultMarginMm;
    options.transparent = settings->value(QStringLiteral("print/transparent"), false).toBool();
    return options;
}

void UserSettings::saveOutputOptions(const OutputOptions &options) const
{
    const auto settings = open(m_file);
    settings->setValue(QStringLiteral("print/paper"), paperName(options.paper));
    settings->setValue(kOrientation, orientationName(options.orientation));
    // Kept for an older copy sharing the file, which knows only this choice.
    settings->setValue(kLandscape, options.orientation == PageOrientation::Landscape);
    settings->setValue(QStringLiteral("print/dpi"), options.dpi);
    settings->setValue(QStringLiteral("print/wholePng"), options.whole);
    settings->setValue(QStringLiteral("print/marginMm"), options.marginMm);
    settings->setValue(QStringLiteral("print/transparent"), options.transparent);
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
    style.capitalTitles = settings->value(QStringLiteral("glyphs/capitals"), false).toBool();
    return style;
}

void UserSettings::saveGlyphStyle(const GlyphStyle &style) const
{
    const auto settings = open(m_file);
    settings->setValue(QStringLiteral("glyphs/font"), style.family);
    settings->setValue(QStringLiteral("glyphs/size"), style.pixelSize);
    settings->setValue(QStringLiteral("glyphs/bold"), style.bold);
    settings->setValue(QStringLiteral("glyphs/color"), style.color.name(QColor::HexRgb));
    settings->setValue(QStringLiteral("glyphs/capitals"), style.capitalTitles);
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

std::optional<QString> UserSettings::loadImportFolder() const
{
    const QString folder = open(m_file)->value(QStringLiteral("holidays/importFolder")).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return std::nullopt;
    return folder;
}

void UserSettings::saveImportFolder(const QString &folder) const
{
    open(m_file)->setValue(QStringLiteral("holidays/importFolder"), folder);
}

ViewChoice UserSettings::loadViewChoice() const
{
    const auto settings = open(m_file);
    const auto flag = [&](const char *key) {
        return settings->value(QLatin1String("view/") + QLatin1String(key), false).toBool();
    };
    CalendarView layout;
    layout.weekdaysAcross = flag("weekdaysAcross");
    layout.weekStart = flag("sundayFirst") ? WeekStart::Sunday : WeekStart::Monday;
    layout.monthTitles =
        named(kTitleNames, settings->value(QStringLiteral("view/monthTitles")).toString(),
              TitleAlign::None);
    layout.titleGap = keptNumber(*settings, QStringLiteral("view/titleGap"), 10, [](int gap) {
        return gap >= kMinTitleGap && gap <= kMaxTitleGap;
    });
    layout.yearTitle = flag("yearTitle");
    layout.weekNumbers = flag("weekNumbers");
    layout.neighbourDays = flag("neighbourDays");

    ViewChoice choice;
    choice.preset = named(kPresetNames, settings->value(QStringLiteral("view/preset")).toString(),
                          ViewPreset::YearOrMonth);
    const qint32 year = keptNumber(*settings, QStringLiteral("view/firstYear"),
                                   QDate::currentDate().year(), isCalendarYear);
    CalendarView view = presetView(choice.preset, year, layout);
    if (view.period) {
        const auto inPeriod = [](int n) { return n >= 1 && n <= kMaxPeriodMonths; };
        view.period->month =
            keptNumber(*settings, QStringLiteral("view/firstMonth"), view.period->month,
                       [](int m) { return m >= 1 && m <= 12; });
        view.period->months =
            keptNumber(*settings, QStringLiteral("view/months"), view.period->months, inPeriod);
        if (!view.quarterly)
            view.perPage =
                keptNumber(*settings, QStringLiteral("view/perPage"), view.perPage, inPeriod);
    }
    if (!view.quarterly)
        view.monthsPerRow = keptNumber(*settings, QStringLiteral("view/perRow"), 0, [](int n) {
            return n == 0 || n == 1 || n == 2 || n == 3 || n == 4 || n == 6;
        });
    choice.view = view;
    return choice;
}

void UserSettings::saveViewChoice(const ViewChoice &choice) const
{
    const auto settings = open(m_file);
    const CalendarView &view = choice.view;
    settings->setValue(QStringLiteral("view/preset"), nameOf(kPresetNames, choice.preset));
    if (view.period) {
        settings->setValue(QStringLiteral("view/firstYear"), view.period->year);
        settings->setValue(QStringLiteral("view/firstMonth"), view.period->month);
        settings->setValue(QStringLiteral("view/months"), view.period->months);
        settings->setValue(QStringLiteral("view/perPage"), view.perPage);
    }
    settings->setValue(QStringLiteral("view/perRow"), view.monthsPerRow);
    settings->setValue(QStringLiteral("view/weekdaysAcross"), view.weekdaysAcross);
    settings->setValue(QStringLiteral("view/sundayFirst"), view.weekStart == WeekStart::Sunday);
    settings->setValue(QStringLiteral("view/monthTitles"), nameOf(kTitleNames, view.monthTitles));
    settings->setValue(QStringLiteral("view/titleGap"), static_cast<int>(view.titleGap));
    settings->setValue(QStringLiteral("view/yearTitle"), view.yearTitle);
    settings->setValue(QStringLiteral("view/weekNumbers"), view.weekNumbers);
    settings->setValue(QStringLiteral("view/neighbourDays"), view.neighbourDays);
}

} // namespace vexilo
