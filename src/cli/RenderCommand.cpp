#include "RenderCommand.h"

#include "compose/BmpExport.h"
#include "compose/GlyphSet.h"
#include "compose/SheetRender.h"
#include "holidays/IcsImport.h"
#include "holidays/MonthGrid.h"
#include "holidays/PrazdnikiFile.h"

#include <QCommandLineParser>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <limits>

namespace vexilo {

namespace {

const QString kLoadFailed = QStringLiteral("Произошла ошибка при загрузке картинок.");
const QString kYearRefused = QStringLiteral("Не зачем вам календарь этого года.");

struct UsageError
{
    QString reason;
};

struct Options
{
    QString glyphs;
    qint64 year = 0;
    qint32 month = 0;
    int perRowIndex = 2;
    Spacings spacings;
    bool sizeCheck = false;
    QString holidays;
    QStringList ics;
    QString out;
    bool png = false;
};

// A whole number in decimal, with an optional sign; nothing else.
std::optional<qint64> strictInteger(const QString &text)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

std::variant<Options, UsageError> parse(QCommandLineParser &parser, const QStringList &arguments)
{
    const QCommandLineOption glyphs({QStringLiteral("g"), QStringLiteral("glyphs")},
                                    QStringLiteral("Glyph set folder, any path (default: the "
                                                   "first bundled set beside the program)."),
                                    QStringLiteral("DIR"));
    const QCommandLineOption year({QStringLiteral("y"), QStringLiteral("year")},
                                  QStringLiteral("The year (default: the current year)."),
                                  QStringLiteral("N"));
    const QCommandLineOption month(
        {QStringLiteral("m"), QStringLiteral("month")},
        QStringLiteral("1..12: draw that month's sheet; without it, the whole year."),
        QStringLiteral("N"));
    const QCommandLineOption perRow({QStringLiteral("r"), QStringLiteral("per-row")},
                                    QStringLiteral("2, 3, 4 or 6 months in a row (default 4)."),
                                    QStringLiteral("N"));
    const QCommandLineOption datesX(QStringLiteral("dates-x"),
                                    QStringLiteral("Gap between week columns (default 10)."),
                                    QStringLiteral("N"), QStringLiteral("10"));
    const QCommandLineOption datesY(QStringLiteral("dates-y"),
                                    QStringLiteral("Gap between weekday rows (default 5)."),
                                    QStringLiteral("N"), QStringLiteral("5"));
    const QCommandLineOption monthsX(
        QStringLiteral("months-x"),
        QStringLiteral("Gap between the weekday names and the months (default 20)."),
        QStringLiteral("N"), QStringLiteral("20"));
    const QCommandLineOption monthsY(QStringLiteral("months-y"),
                                     QStringLiteral("Gap between rows of months (default 20)."),
                                     QStringLiteral("N"), QStringLiteral("20"));
    const QCommandLineOption digitsX(
        QStringLiteral("digits-x"),
        QStringLiteral("Gap between the two digits of a day (default 3)."), QStringLiteral("N"),
        QStringLiteral("3"));
    const QCommandLineOption sizeCheck(
        QStringLiteral("size-check"),
        QStringLiteral("Load only \"0.gif\" and \"Пн.gif\", to check the sheet's size."));
    const QCommandLineOption holidays(
        QStringLiteral("holidays"),
        QStringLiteral("Holidays in the format of \"Праздники.dat\" (default: the "
                       "\"Праздники.dat\" beside the program when there is one)."),
        QStringLiteral("FILE"));
    const QCommandLineOption ics(
        QStringLiteral("ics"),
        QStringLiteral("Also mark the all-day events of an iCalendar file as holidays "
                       "(may be given more than once)."),
        QStringLiteral("FILE"));
    const QCommandLineOption out(
        {QStringLiteral("o"), QStringLiteral("out")},
        QStringLiteral("Output name; its extension is cut, and several rows are named "
                       "NAME_ряд1 … (default: календарь-YEAR or календарь-YEAR-MM)."),
        QStringLiteral("NAME"));
    const QCommandLineOption format(QStringLiteral("format"),
                                    QStringLiteral("bmp or png (default bmp)."),
                                    QStringLiteral("bmp|png"), QStringLiteral("bmp"));

    parser.setApplicationDescription(
        QStringLiteral("Draws a calendar sheet from a glyph set and saves it as image files, "
                       "as the Vexilo window does."));
    parser.addHelpOption();
    parser.addOptions({glyphs, year, month, perRow, datesX, datesY, monthsX, monthsY, digitsX,
                       sizeCheck, holidays, ics, out, format});
    if (!parser.parse(arguments))
        return UsageError{parser.errorText()};
    if (!parser.positionalArguments().isEmpty())
        return UsageError{QStringLiteral("unexpected argument '%1'")
                              .arg(parser.positionalArguments().constFirst())};

    Options options;
    auto number = [&](const QCommandLineOption &option,
                      const QString &name) -> std::variant<qint64, UsageError> {
        const auto value = strictInteger(parser.value(option));
        if (!value)
            return UsageError{QStringLiteral("--%1 takes a whole number, not '%2'")
                                  .arg(name, parser.value(option))};
        return *value;
    };

    options.year = QDate::currentDate().year();
    if (parser.isSet(year)) {
        const auto value = number(year, QStringLiteral("year"));
        if (const auto *error = std::get_if<UsageError>(&value))
            return *error;
        options.year = std::get<qint64>(value);
    }
    if (parser.isSet(month)) {
        const auto value = number(month, QStringLiteral("month"));
        if (const auto *error = std::get_if<UsageError>(&value))
            return *error;
        const qint64 m = std::get<qint64>(value);
        if (m < 1 || m > 12)
            return UsageError{QStringLiteral("--month must be 1..12, not %1").arg(m)};
        options.month = static_cast<qint32>(m);
    }
    if (parser.isSet(perRow)) {
        const auto value = number(perRow, QStringLiteral("per-row"));
        if (const auto *error = std::get_if<UsageError>(&value))
            return *error;
        const qint64 n = std::get<qint64>(value);
        const int index = n == 2 ? 0 : n == 3 ? 1 : n == 4 ? 2 : n == 6 ? 3 : -1;
        if (index < 0)
            return UsageError{QStringLiteral("--per-row must be 2, 3, 4 or 6, not %1").arg(n)};
        options.perRowIndex = index;
    }
    const std::array<std::pair<const QCommandLineOption *, double Spacings::*>, 5> spacings = {{
        {&datesX, &Spacings::datesX},
        {&datesY, &Spacings::datesY},
        {&monthsX, &Spacings::monthsX},
        {&monthsY, &Spacings::monthsY},
        {&digitsX, &Spacings::digitsX},
    }};
    for (const auto &[option, member] : spacings) {
        const auto value = number(*option, option->names().constFirst());
        if (const auto *error = std::get_if<UsageError>(&value))
            return *error;
        options.spacings.*member = static_cast<double>(std::get<qint64>(value));
    }
    const QString formatName = parser.value(format).toLower();
    if (formatName != QStringLiteral("bmp") && formatName != QStringLiteral("png"))
        return UsageError{
            QStringLiteral("--format must be bmp or png, not '%1'").arg(parser.value(format))};
    options.png = formatName == QStringLiteral("png");
    options.sizeCheck = parser.isSet(sizeCheck);
    options.glyphs = parser.value(glyphs);
    options.holidays = parser.value(holidays);
    options.ics = parser.values(ics);
    options.out = parser.value(out);
    return options;
}

QString defaultGlyphFolder(const QString &programFolder)
{
    const QStringList sets = glyphFolderNames(programFolder);
    return sets.isEmpty() ? QString() : programFolder + sets.constFirst();
}

} // namespace

int runRender(const QStringList &arguments, QTextStream &out, QTextStream &err,
              const QString &programFolder)
{
    QCommandLineParser parser;
    const auto parsed = parse(parser, arguments);
    if (parser.isSet(QStringLiteral("help"))) {
        out << parser.helpText();
        return RenderOk;
    }
    if (const auto *usage = std::get_if<UsageError>(&parsed)) {
        QString reason = usage->reason;
        while (reason.endsWith(QLatin1Char('.')))
            reason.chop(1);
        err << "vexilo-render: " << reason << ". Try 'vexilo-render --help'.\n";
        return RenderUsage;
    }
    const Options &options = std::get<Options>(parsed);

    if (options.year < 1000 || options.year > 9999) {
        err << kYearRefused << '\n';
        return RenderFailed;
    }
    const auto year = static_cast<qint32>(options.year);

    QString folder = options.glyphs.isEmpty() ? defaultGlyphFolder(programFolder) : options.glyphs;
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    const GlyphSet glyphs =
        folder.isEmpty() ? GlyphSet{} : loadGlyphSet(folder, options.sizeCheck ? 1 : 0);
    if (!glyphs.images.complete) {
        err << kLoadFailed << '\n';
        return RenderFailed;
    }

    PrazdnikiStore store;
    if (!options.holidays.isEmpty()) {
        QFile file(options.holidays);
        if (!file.open(QIODevice::ReadOnly) || QFileInfo(options.holidays).isDir()) {
            err << QStringLiteral("Не удалось прочитать файл праздников «%1».")
                       .arg(options.holidays)
                << '\n';
            return RenderFailed;
        }
        readPrazdniki(file, store);
    } else {
        OpenPrazdniki(store, prazdnikiPath(programFolder));
    }
    clsPrazdniki defaults;
    const clsPrazdniki *marks = nullptr;
    if (const qint32 entry = store.NaytiGod(year); entry >= 0) {
        marks = store.entry(entry);
    } else {
        addDefaultHolidays(defaults, year, monthLengthsOf(year));
        marks = &defaults;
        err << QStringLiteral("Праздников %1 года нет: взяты выходные и праздники нового года.")
                   .arg(year)
            << '\n';
    }

    clsPrazdniki withIcs;
    if (!options.ics.isEmpty()) {
        withIcs = *marks;
        for (const QString &path : options.ics) {
            const auto read = readIcsFile(path, {year, year, std::nullopt});
            if (const auto *error = std::get_if<QString>(&read)) {
                err << *error << '\n';
                return RenderFailed;
            }
            const IcsDays &days = std::get<IcsDays>(read);
            if (const auto found = days.find(year); found != days.end())
                markIcsDays(withIcs, found->second);
        }
        marks = &withIcs;
    }

    // The holders as the window fills them: the set's images, the unread ones left empty.
    std::array<QImage, 10> digits;
    std::array<QImage, 7> weekdays;
    std::copy(glyphs.images.digits.begin(), glyphs.images.digits.end(), digits.begin());
    std::copy(glyphs.images.weekdays.begin(), glyphs.images.weekdays.end(), weekdays.begin());
    const SheetRequest request{
        {digits, weekdays, glyphs.red.Tsifry, glyphs.red.DniNedeli, options.sizeCheck ? 1 : 0},
        *marks,
        year,
        options.month,
        options.perRowIndex,
        options.spacings};
    const auto rendered = renderSheet(request);
    if (const auto *error = std::get_if<SheetError>(&rendered)) {
        err << sheetErrorMessage(*error) << '\n';
        return RenderFailed;
    }
    const RenderedSheet &sheet = std::get<RenderedSheet>(rendered);

    QString name = options.out;
    if (name.isEmpty()) {
        name = options.month == 0 ? QStringLiteral("календарь-%1").arg(year)
                                  : QStringLiteral("календарь-%1-%2")
                                        .arg(year)
                                        .arg(options.month, 2, 10, QLatin1Char('0'));
    }
    const QStringList names =
        exportFileNames(name, QStringLiteral("/"), sheet.geometry.KolRisunkov,
                        options.png ? QStringLiteral(".png") : QStringLiteral(".bmp"));
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QImage &canvas = sheet.canvases[static_cast<std::size_t>(i)];
        const ExportResult result =
            options.png ? writePng(names[i], canvas) : writeBmp(names[i], canvas);
        if (!result.ok) {
            err << exportFailureMessage(result) << '\n';
            return RenderFailed;
        }
        out << names[i] << '\n';
    }
    out << sizeCaption(sheet.geometry).mid(3) << '\n';
    return RenderOk;
}

} // namespace vexilo
