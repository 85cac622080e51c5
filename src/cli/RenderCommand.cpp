#include "RenderCommand.h"

#include "common/CalendarMath.h"
#include "common/RegularFile.h"
#include "common/SafeFile.h"
#include "common/Version.h"
#include "compose/BmpExport.h"
#include "compose/GlyphSet.h"
#include "compose/SheetRender.h"
#include "holidays/HolidayImport.h"
#include "holidays/IcsImport.h"
#include "holidays/MonthGrid.h"
#include "holidays/PrazdnikiFile.h"
#include "shell/AppPaths.h"

#include <QCommandLineParser>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <limits>
#include <vector>

namespace vexilo {

namespace {

const QString kLoadFailed = QStringLiteral("Произошла ошибка при загрузке картинок.");

struct UsageError
{
    QString reason;
};

struct CalendarFile
{
    QString path;
    bool anyFormat = false; // --import; --ics takes iCalendar files only
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
    std::vector<CalendarFile> calendars; // --ics and --import in the order given
    QString out;
    OutputOptions output;
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
                                                   "first complete set, the user's first)."),
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
                       "program's \"Праздники.dat\" when there is one)."),
        QStringLiteral("FILE"));
    const QCommandLineOption ics(
        QStringLiteral("ics"),
        QStringLiteral("Also mark the all-day events of an iCalendar file as holidays "
                       "(may be given more than once)."),
        QStringLiteral("FILE"));
    const QCommandLineOption import(
        QStringLiteral("import"),
        QStringLiteral("Также взять праздники из iCalendar (.ics) или производственного "
                       "календаря (XML, CSV): рабочие субботы и воскресенья становятся чёрными. "
                       "Можно указать несколько раз, файлы применяются по порядку."),
        QStringLiteral("FILE"));
    const QCommandLineOption out(
        {QStringLiteral("o"), QStringLiteral("out")},
        QStringLiteral("Output name; its extension is cut, and several rows are named "
                       "NAME_ряд1 … (default: календарь-YEAR or календарь-YEAR-MM)."),
        QStringLiteral("NAME"));
    const QCommandLineOption format(
        QStringLiteral("format"),
        QStringLiteral("bmp, png or pdf (default bmp). A PDF is one page holding the whole sheet."),
        QStringLiteral("bmp|png|pdf"), QStringLiteral("bmp"));
    const QCommandLineOption whole(
        QStringLiteral("whole"),
        QStringLiteral("One file for the whole sheet (NAME.bmp or NAME.png) instead of one per "
                       "row of months."));
    const QCommandLineOption dpi(QStringLiteral("dpi"),
                                 QStringLiteral("Resolution stored in the file and used to size "
                                                "the sheet on a PDF page, 1..2400 (default 96)."),
                                 QStringLiteral("N"), QStringLiteral("96"));
    const QCommandLineOption paper(QStringLiteral("paper"),
                                   QStringLiteral("PDF paper: A5, A4, A3, Letter or Legal "
                                                  "(default A4)."),
                                   QStringLiteral("NAME"), QStringLiteral("A4"));
    const QCommandLineOption landscape(QStringLiteral("landscape"),
                                       QStringLiteral("PDF page in landscape orientation."));

    parser.setApplicationDescription(
        QStringLiteral("Draws a calendar sheet from a glyph set and saves it as image files, "
                       "as the Vexilo window does."));
    parser.addHelpOption();
    parser.addOption(QCommandLineOption(QStringLiteral("version"),
                                        QStringLiteral("Print the name and version and exit.")));
    parser.addOptions({glyphs, year, month, perRow, datesX, datesY, monthsX, monthsY, digitsX,
                       sizeCheck, holidays, ics, import, out, format, whole, dpi, paper,
                       landscape});
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
    const std::array<std::pair<const char *, OutputFormat>, 3> formats = {
        {{"bmp", OutputFormat::Bmp}, {"png", OutputFormat::Png}, {"pdf", OutputFormat::Pdf}}};
    const auto known = std::find_if(formats.begin(), formats.end(), [&](const auto &entry) {
        return formatName == QLatin1String(entry.first);
    });
    if (known == formats.end())
        return UsageError{
            QStringLiteral("--format must be bmp, png or pdf, not '%1'").arg(parser.value(format))};
    options.output.format = known->second;
    options.output.whole = parser.isSet(whole);
    const auto dpiValue = number(dpi, QStringLiteral("dpi"));
    if (const auto *error = std::get_if<UsageError>(&dpiValue))
        return *error;
    if (std::get<qint64>(dpiValue) < kMinDpi || std::get<qint64>(dpiValue) > kMaxDpi)
        return UsageError{
            QStringLiteral("--dpi must be 1..2400, not %1").arg(std::get<qint64>(dpiValue))};
    options.output.dpi = static_cast<int>(std::get<qint64>(dpiValue));
    const std::optional<QPageSize::PageSizeId> paperId = paperByName(parser.value(paper));
    if (!paperId)
        return UsageError{QStringLiteral("--paper must be A5, A4, A3, Letter or Legal, not '%1'")
                              .arg(parser.value(paper))};
    options.output.paper = *paperId;
    options.output.orientation =
        parser.isSet(landscape) ? QPageLayout::Landscape : QPageLayout::Portrait;
    options.sizeCheck = parser.isSet(sizeCheck);
    options.glyphs = parser.value(glyphs);
    options.holidays = parser.value(holidays);
    // The parser keeps each option's values in order, and the order of the option names.
    const QStringList icsFiles = parser.values(ics);
    const QStringList importFiles = parser.values(import);
    qsizetype nextIcs = 0;
    qsizetype nextImport = 0;
    for (const QString &name : parser.optionNames()) {
        if (name == ics.names().constFirst() && nextIcs < icsFiles.size())
            options.calendars.push_back({icsFiles[nextIcs++], false});
        else if (name == import.names().constFirst() && nextImport < importFiles.size())
            options.calendars.push_back({importFiles[nextImport++], true});
    }
    options.out = parser.value(out);
    return options;
}

// The days of the sheet's year in a calendar file.
std::variant<HolidayFile, QString> readCalendar(const CalendarFile &calendar, qint32 year)
{
    const IcsOptions only{year, year, std::nullopt};
    if (calendar.anyFormat)
        return readHolidayFile(calendar.path, only);
    auto read = readIcsFile(calendar.path, only);
    if (auto *error = std::get_if<QString>(&read))
        return std::move(*error);
    return HolidayFile{HolidayFormat::ICalendar, holidayMarksOf(std::get<IcsDays>(read))};
}

} // namespace

int runRender(const QStringList &arguments, QTextStream &out, QTextStream &err,
              const QString &programFolder)
{
    return runRender(arguments, out, err, AppPaths::besideProgram(programFolder));
}

int runRender(const QStringList &arguments, QTextStream &out, QTextStream &err,
              const AppPaths &paths)
{
    QCommandLineParser parser;
    const auto parsed = parse(parser, arguments);
    if (parser.isSet(QStringLiteral("help"))) {
        out << parser.helpText();
        return RenderOk;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        out << versionLine(QStringLiteral("vexilo-render")) << '\n';
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

    // Checked before the glyphs are read, as the window checks it before drawing.
    if (!isCalendarYear(options.year)) {
        err << yearRefusedMessage() << '\n';
        return RenderFailed;
    }
    const auto year = static_cast<qint32>(options.year);

    // The default is a set that loads: a stray folder among the sets is passed over.
    QString folder = options.glyphs.isEmpty() ? paths.firstCompleteGlyphFolder() : options.glyphs;
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    const GlyphSet glyphs =
        folder.isEmpty() ? GlyphSet{} : loadGlyphSet(folder, options.sizeCheck ? 1 : 0);
    if (!glyphs.images.complete) {
        err << kLoadFailed << '\n';
        return RenderFailed;
    }

    QString name = options.out;
    if (name.isEmpty()) {
        name = options.month == 0 ? QStringLiteral("календарь-%1").arg(year)
                                  : QStringLiteral("календарь-%1-%2")
                                        .arg(year)
                                        .arg(options.month, 2, 10, QLatin1Char('0'));
    }
    // The output folder is checked before anything is composed; a year sheet has rows.
    if (const std::optional<QString> problem = outputFolderProblem(
            outputFileNames(name, QStringLiteral("/"), options.month == 0 ? 2 : 1, options.output)
                .constFirst())) {
        err << *problem << '\n';
        return RenderFailed;
    }

    PrazdnikiStore store;
    if (!options.holidays.isEmpty()) {
        QFile file;
        const FileOpening opening = openRegularFile(file, options.holidays);
        if (opening == FileOpening::NotRegular) {
            err << QStringLiteral("Файл праздников «%1» — не обычный файл.").arg(options.holidays)
                << '\n';
            return RenderFailed;
        }
        if (opening != FileOpening::Opened) {
            err << QStringLiteral("Не удалось прочитать файл праздников «%1».")
                       .arg(options.holidays)
                << '\n';
            return RenderFailed;
        }
        if (!readPrazdniki(file, store))
            err << QStringLiteral("Файл праздников «%1» прочитан не полностью.")
                       .arg(options.holidays)
                << '\n';
    } else {
        OpenPrazdniki(store, paths.prazdnikiFile());
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

    clsPrazdniki withCalendars;
    if (!options.calendars.empty()) {
        withCalendars = *marks;
        for (const CalendarFile &calendar : options.calendars) {
            const auto read = readCalendar(calendar, year);
            if (const auto *error = std::get_if<QString>(&read)) {
                err << *error << '\n';
                return RenderFailed;
            }
            const HolidayFile &file = std::get<HolidayFile>(read);
            if (const auto found = file.marks.find(year); found != file.marks.end())
                mergeYear(withCalendars, found->second);
            else if (file.format != HolidayFormat::ICalendar) // likely the wrong file
                err << QStringLiteral("В файле «%1» нет дней %2 года.").arg(calendar.path).arg(year)
                    << '\n';
        }
        marks = &withCalendars;
    }

    // The holders as the window fills them: the set's images, the unread ones left empty.
    const auto planned =
        Sheet::plan({shareGlyphs(glyphs.images, glyphs.red, options.sizeCheck ? 1 : 0), *marks,
                     year, options.month, options.perRowIndex, options.spacings});
    if (const auto *error = std::get_if<SheetError>(&planned)) {
        err << sheetErrorMessage(*error) << '\n';
        return RenderFailed;
    }
    const Sheet &sheet = std::get<Sheet>(planned);

    const QStringList names =
        outputFileNames(name, QStringLiteral("/"), sheet.canvasCount(), options.output);
    if (const SafeWriteResult result = writeSheet(sheet, names, options.output); !result.ok) {
        err << exportFailureMessage(result) << '\n';
        return RenderFailed;
    }
    for (const QString &written : names)
        out << written << '\n';
    out << sizeCaption(sheet.geometry()).mid(3) << '\n';
    return RenderOk;
}

} // namespace vexilo
