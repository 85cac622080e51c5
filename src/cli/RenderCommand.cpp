#include "RenderCommand.h"
#include "RenderOptions.h"
#include "ViewOptions.h"

#include "common/CalendarMath.h"
#include "common/CommandLine.h"
#include "common/RegularFile.h"
#include "common/SafeFile.h"
#include "common/SaveChecks.h"
#include "common/Version.h"
#include "compose/glyphs/GlyphSet.h"
#include "compose/output/ImageFiles.h"
#include "compose/output/PagePlacement.h"
#include "compose/output/SheetDocument.h"
#include "compose/output/SheetRender.h"
#include "holidays/HolidayImport.h"
#include "holidays/IcsImport.h"
#include "holidays/MonthGrid.h"
#include "holidays/PrazdnikiFile.h"
#include "shell/AppPaths.h"

#include <QCommandLineParser>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    CalendarView view;
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

QString nameOf(const QCommandLineOption &option)
{
    return QStringLiteral("--") + option.names().constLast();
}

// The margins, the orientation and the background, once the format and the paper are known.
std::optional<UsageError> parsePage(const QCommandLineParser &parser, const RenderOptions &o,
                                    OutputOptions &output)
{
    const QString marginText = parser.value(o.margin);
    const std::optional<qint64> margin = strictInteger(marginText);
    if (!margin || *margin < kMinMarginMm || *margin > kMaxMarginMm)
        return UsageError{badValueReason(
            nameOf(o.margin), QStringLiteral("от %1 до %2").arg(kMinMarginMm).arg(kMaxMarginMm),
            marginText)};
    output.marginMm = static_cast<int>(*margin);
    if (!marginsLeaveRoom(output.marginMm, output.paper))
        return UsageError{noRoomReason(output.marginMm, output.paper)};
    if (parser.isSet(o.portrait) && parser.isSet(o.landscape))
        return UsageError{QStringLiteral("--portrait и --landscape не задаются вместе")};
    output.orientation = parser.isSet(o.portrait)    ? PageOrientation::Portrait
                         : parser.isSet(o.landscape) ? PageOrientation::Landscape
                                                     : PageOrientation::Automatic;
    output.transparent = parser.isSet(o.transparent);
    if (output.transparent && output.format == OutputFormat::Bmp)
        return UsageError{QStringLiteral("--transparent не подходит к формату bmp: у BMP нет "
                                         "прозрачного фона")};
    return std::nullopt;
}

std::variant<Options, UsageError> parse(QCommandLineParser &parser, const RenderOptions &o,
                                        const QStringList &arguments)
{
    const QCommandLineOption &glyphs = o.glyphs, &year = o.year, &month = o.month,
                             &perRow = o.perRow, &datesX = o.datesX, &datesY = o.datesY,
                             &monthsX = o.monthsX, &monthsY = o.monthsY, &digitsX = o.digitsX,
                             &sizeCheck = o.sizeCheck, &holidays = o.holidays, &ics = o.ics,
                             &out = o.out, &format = o.format, &whole = o.whole, &dpi = o.dpi,
                             &paper = o.paper;
    parser.addOptions(o.all());
    if (!parser.parse(withMonthTitleValues(arguments, o)))
        return UsageError{parserErrorReason(parser)};
    if (!parser.positionalArguments().isEmpty())
        return UsageError{
            QStringLiteral("лишний аргумент «%1»").arg(parser.positionalArguments().constFirst())};

    Options options;
    auto bad = [&](const QCommandLineOption &option, const QString &expected) {
        return UsageError{badValueReason(nameOf(option), expected, parser.value(option))};
    };
    auto number = [&](const QCommandLineOption &option) -> std::variant<qint64, UsageError> {
        const auto value = strictInteger(parser.value(option));
        if (!value)
            return bad(option, QStringLiteral("целым числом"));
        return *value;
    };

    options.year = QDate::currentDate().year();
    if (parser.isSet(year)) {
        const auto value = number(year);
        if (const auto *error = std::get_if<UsageError>(&value))
            return *error;
        options.year = std::get<qint64>(value);
    }
    if (parser.isSet(month)) {
        const auto value = number(month);
        if (const auto *error = std::get_if<UsageError>(&value))
            return *error;
        const qint64 m = std::get<qint64>(value);
        if (m < 1 || m > 12)
            return bad(month, QStringLiteral("от 1 до 12"));
        options.month = static_cast<qint32>(m);
    }
    if (parser.isSet(perRow)) {
        const auto value = number(perRow);
        if (const auto *error = std::get_if<UsageError>(&value))
            return *error;
        const qint64 n = std::get<qint64>(value);
        const int index = n == 2 ? 0 : n == 3 ? 1 : n == 4 ? 2 : n == 6 ? 3 : -1;
        if (index < 0 && n != 1)
            return bad(perRow, QStringLiteral("1, 2, 3, 4 или 6"));
        // One column is a view of its own; the other counts keep the described sheets.
        if (n == 1)
            options.view.monthsPerRow = 1;
        else
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
        const auto value = number(*option);
        if (const auto *error = std::get_if<UsageError>(&value))
            return *error;
        options.spacings.*member = static_cast<double>(std::get<qint64>(value));
    }
    const QString formatName = parser.value(format).toLower();
    const std::array<std::pair<const char *, OutputFormat>, 4> formats = {
        {{"bmp", OutputFormat::Bmp},
         {"png", OutputFormat::Png},
         {"pdf", OutputFormat::Pdf},
         {"svg", OutputFormat::Svg}}};
    const auto known = std::find_if(formats.begin(), formats.end(), [&](const auto &entry) {
        return formatName == QLatin1String(entry.first);
    });
    if (known == formats.end())
        return bad(format, QStringLiteral("bmp, png, pdf или svg"));
    options.output.format = known->second;
    options.output.whole = parser.isSet(whole);
    const auto dpiValue = number(dpi);
    if (const auto *error = std::get_if<UsageError>(&dpiValue))
        return *error;
    if (std::get<qint64>(dpiValue) < kMinDpi || std::get<qint64>(dpiValue) > kMaxDpi)
        return bad(dpi, QStringLiteral("от %1 до %2").arg(kMinDpi).arg(kMaxDpi));
    options.output.dpi = static_cast<int>(std::get<qint64>(dpiValue));
    const std::optional<QPageSize::PageSizeId> paperId = paperByName(parser.value(paper));
    if (!paperId)
        return bad(paper, paperChoices());
    options.output.paper = *paperId;
    if (const std::optional<UsageError> error = parsePage(parser, o, options.output))
        return *error;
    options.sizeCheck = parser.isSet(sizeCheck);
    options.glyphs = parser.value(glyphs);
    options.holidays = parser.value(holidays);
    // The parser keeps each option's values in order, and the order of the option names.
    const QStringList icsFiles = parser.values(ics);
    const QStringList importFiles = parser.values(o.imports);
    qsizetype nextIcs = 0;
    qsizetype nextImport = 0;
    for (const QString &name : parser.optionNames()) {
        if (name == ics.names().constFirst() && nextIcs < icsFiles.size())
            options.calendars.push_back({icsFiles[nextIcs++], false});
        else if (name == o.imports.names().constFirst() && nextImport < importFiles.size())
            options.calendars.push_back({importFiles[nextImport++], true});
    }
    options.out = parser.value(out);
    auto view =
        readView(parser, o, {options.year, options.month, options.perRowIndex, options.view});
    if (const auto *reason = std::get_if<QString>(&view))
        return UsageError{*reason};
    const ViewRequest &chosen = std::get<ViewRequest>(view);
    options.year = chosen.year;
    options.month = chosen.month;
    options.view = chosen.view;
    return options;
}

// The days of the sheet's years in a calendar file.
std::variant<HolidayFile, QString> readCalendar(const CalendarFile &calendar, qint32 firstYear,
                                                qint32 lastYear)
{
    const IcsOptions only{firstYear, lastYear, std::nullopt};
    if (calendar.anyFormat)
        return readHolidayFile(calendar.path, only);
    auto read = readIcsFile(calendar.path, only);
    if (auto *error = std::get_if<QString>(&read))
        return std::move(*error);
    return HolidayFile{HolidayFormat::ICalendar, holidayMarksOf(std::get<IcsDays>(read))};
}

// What the command line can say beyond the window's message: the folder or the file that
// stopped the load.
QString missingGlyphsLine(const QString &folder, const QString &failedFile)
{
    if (folder.isEmpty())
        return QStringLiteral("Не найдено ни одного полного набора картинок.");
    // Without the closing separator, so a file of that name is seen as one.
    const QFileInfo info(QDir::cleanPath(folder));
    if (!info.exists())
        return QStringLiteral("Нет папки «%1».").arg(folder);
    if (!info.isDir())
        return QStringLiteral("«%1» — не папка.").arg(folder);
    if (failedFile.isEmpty())
        return QStringLiteral("Не удалось прочитать картинки папки «%1».").arg(folder);
    const QString file = folder + failedFile;
    if (!QFileInfo::exists(file))
        return QStringLiteral("Нет файла «%1».").arg(file);
    return QStringLiteral("Не удалось прочитать картинку «%1».").arg(file);
}

} // namespace

std::variant<ViewRequest, QString> renderViewOf(const QStringList &arguments)
{
    QCommandLineParser parser;
    const RenderOptions options;
    const auto parsed = parse(parser, options, arguments);
    if (const auto *usage = std::get_if<UsageError>(&parsed))
        return usage->reason;
    const Options &chosen = std::get<Options>(parsed);
    return ViewRequest{chosen.year, chosen.month, chosen.perRowIndex, chosen.view};
}

int runRender(const QStringList &arguments, QTextStream &out, QTextStream &err,
              const QString &programFolder)
{
    return runRender(arguments, out, err, AppPaths::besideProgram(programFolder));
}

int runRender(const QStringList &arguments, QTextStream &out, QTextStream &err,
              const AppPaths &paths)
{
    QCommandLineParser parser;
    const RenderOptions renderOptions;
    const auto parsed = parse(parser, renderOptions, arguments);
    if (parser.isSet(renderOptions.help)) {
        out << helpText(renderHelp(renderOptions));
        return RenderOk;
    }
    if (parser.isSet(renderOptions.version)) {
        out << versionLine(renderProgramName()) << '\n';
        return RenderOk;
    }
    if (const auto *usage = std::get_if<UsageError>(&parsed)) {
        err << usageErrorLine(renderProgramName(), usage->reason) << '\n';
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
    const GlyphLoad glyphs =
        folder.isEmpty() ? GlyphLoad{} : loadGlyphSet(folder, options.sizeCheck ? 1 : 0);
    if (!glyphs.complete) {
        err << kLoadFailed << '\n' << missingGlyphsLine(folder, glyphs.failedFile) << '\n';
        return RenderFailed;
    }

    // Titles asked of a set without them: the file it lacks, before anything is written.
    if (options.view.monthTitles != TitleAlign::None && !glyphs.set->missingTitle.isEmpty()) {
        err << QStringLiteral("В наборе нет названий месяцев.") << '\n'
            << missingGlyphsLine(folder, glyphs.set->missingTitle) << '\n';
        return RenderFailed;
    }

    QString name = options.out;
    if (name.isEmpty())
        name = defaultSheetName({year, options.month, options.perRowIndex, options.view});
    // The output folder is checked before anything is composed; a year sheet has rows.
    const QStringList outputNames =
        outputFileNames(name, QStringLiteral("/"), options.month == 0 ? 2 : 1, options.output);
    if (const std::optional<QString> problem =
            outputFolderProblem(outputNames.constFirst(), outputNames.size())) {
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
    // The holders as the window fills them: the set's images, the unread ones left empty.
    // Pictures of a vector set get the pixels of their resolution.
    SheetRequest request{glyphs.set,      {}, year, options.month, options.perRowIndex,
                         options.spacings};
    request.view = options.view;
    // Each month takes the marks of its own year; a year the store lacks gets the defaults.
    std::vector<qint32> years = shownYears(request);
    if (std::find(years.begin(), years.end(), year) == years.end())
        years.push_back(year);
    YearHolidays marks;
    for (const qint32 shown : years) {
        if (const qint32 entry = store.NaytiGod(shown); entry >= 0) {
            marks[shown] = *store.entry(entry);
            continue;
        }
        addDefaultHolidays(marks[shown], shown, monthLengthsOf(shown));
        err << QStringLiteral("Праздников %1 года нет: взяты выходные и праздники нового года.")
                   .arg(shown)
            << '\n';
    }
    for (const CalendarFile &calendar : options.calendars) {
        const auto read = readCalendar(calendar, marks.begin()->first, marks.rbegin()->first);
        if (const auto *error = std::get_if<QString>(&read)) {
            err << *error << '\n';
            return RenderFailed;
        }
        const HolidayFile &file = std::get<HolidayFile>(read);
        for (auto &[shown, yearMarks] : marks) {
            if (const auto found = file.marks.find(shown); found != file.marks.end())
                mergeYear(yearMarks, found->second);
            else if (file.format != HolidayFormat::ICalendar) // likely the wrong file
                err << QStringLiteral("В файле «%1» нет дней %2 года.")
                           .arg(calendar.path)
                           .arg(shown)
                    << '\n';
        }
    }
    request.holidays = marks[year];
    marks.erase(year);
    request.otherYears = std::move(marks);
    auto planned = Sheet::plan(std::move(request));
    if (const auto *error = std::get_if<SheetError>(&planned)) {
        err << sheetErrorMessage(*error) << '\n';
        return RenderFailed;
    }
    if (options.output.format == OutputFormat::Bmp || options.output.format == OutputFormat::Png) {
        auto sharp = std::get<Sheet>(planned).atResolution(options.output.dpi);
        if (const auto *refused = std::get_if<QString>(&sharp)) {
            err << *refused << '\n';
            return RenderFailed;
        }
        planned = std::get<Sheet>(std::move(sharp));
    }
    const Sheet &sheet = std::get<Sheet>(planned);

    const std::vector<Sheet> pages = pagesOf(sheet);
    const QStringList names =
        documentFileNames(name, QStringLiteral("/"), sheetPages(pages), options.output);
    if (const SafeWriteResult result = writeDocument(sheetPages(pages), names, options.output);
        !result.ok) {
        err << failureLines(result).join(u'\n') << '\n';
        return RenderFailed;
    }
    for (const QString &written : names)
        out << written << '\n';
    out << sheet.sizeText().mid(3) << '\n';
    return RenderOk;
}

} // namespace vexilo
