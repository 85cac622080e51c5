// Damaged and hostile files beside the program, taken through start-up and the main window as
// a user meets them. Each case of tests/data/bad-input/ states its one expected outcome here.
#include "common/Text1251.h"
#include "compose/GlyphFiles.h"
#include "holidays/PrazdnikiFile.h"
#include "holidays/frmPrazdniki.h"
#include "shell/Declare.h"
#include "shell/Main.h"
#include "shell/frmForma.h"
#include "support/BadInputCorpus.h"
#include "support/FakePlatform.h"
#include "support/FormaUi.h"
#include "support/PrintTools.h"
#include "support/TempAppFolder.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace vexilo;
using namespace vexilo::test;

namespace {

const QString kLoadFailed = QStringLiteral("Произошла ошибка при загрузке картинок.");
const QString kChooseFolder = QStringLiteral("Выберите папку с картинками.");
const QString kNoYear = QStringLiteral("Не зачем вам календарь этого года.");
const QString kEnterHolidays = QStringLiteral("Введите праздники.");
const QString kTooLarge =
    QStringLiteral("Календарь получается слишком большим. Уменьшите расстояния.");
const QString kSet = QStringLiteral("Набор");

// A text file as the program writes it: CR LF after each line, then an empty line.
QByteArray fileText(const QStringList &lines)
{
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n\r\n")).toUtf8();
}

QStringList repeated(const QString &line, int times)
{
    QStringList lines;
    for (int i = 0; i < times; ++i)
        lines.append(line);
    return lines;
}

QStringList messageTexts(const FakePlatform &platform)
{
    QStringList texts;
    for (const RecordedMessage &message : platform.messages)
        texts.append(message.text);
    return texts;
}

// 2013 with 1, 2 and 7 January and 8 March.
const QByteArray kHolidays2013 =
    fileText(QStringList{"0", "2013", "3,1,2,7", "0", "1,8"} + repeated(QStringLiteral("0"), 9));

// Settings that name a glyph folder and the year 2013, the rest as the window's design.
QByteArray optionsWith(const QString &folder)
{
    return textFileContent(
        {" 1", " 10", " 5", " 20", " 20", " 3", " 2013", folder, " 0", " 0", " 0"});
}

// One run of the program in an application folder, with everything it said.
struct Session
{
    explicit Session(const QString &appFolder) { form = Main(state, platform, appFolder); }

    QStringList boxes() const
    {
        QStringList texts;
        for (const QLineEdit *box : ui(*form).txtRassttoyanie)
            texts.append(box->text());
        return texts;
    }

    Declare state;
    FakePlatform platform;
    std::unique_ptr<frmForma> form;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// "Праздники.dat"

namespace {

struct HolidayCase
{
    QString file;
    const char *outcome;
    // The store as the editor's "Сохранить" would write it.
    QStringList store;
};

const QString kZero = QStringLiteral("0");

std::vector<HolidayCase> holidayCases()
{
    return {
        {"empty.dat", "loads as the empty store", {"-1"}},
        {"truncated-mid-line.dat",
         "keeps 2013 whole and 2014 with the marks read before the cut (1, 2 January, 2 February)",
         QStringList{"1", "2013", "3,1,2,7", "0", "1,8"} + repeated(kZero, 9) +
             QStringList{"2014", "2,1,2", "1,2"} + repeated(kZero, 10)},
        {"binary.dat", "loads as the empty store", {"-1"}},
        {"binary-after-year.dat", "keeps 2013 without marks",
         QStringList{"0", "2013"} + repeated(kZero, 12)},
        {"huge-count.dat", "a count of 2147483647 keeps the one year the file has",
         QStringList{"0", "2013", "1,9"} + repeated(kZero, 11)},
        {"count-beyond-32-bits.dat", "loads as the empty store", {"-1"}},
        {"negative-count.dat", "loads as the empty store", {"-1"}},
        {"most-negative-count.dat", "loads as the empty store", {"-1"}},
        {"days-out-of-range.dat",
         "days outside 0..31 are skipped; 15 January, 31 February and 8 March stay",
         QStringList{"0", "2013", "1,15", "1,31", "1,8"} + repeated(kZero, 9)},
        {"huge-month-count.dat",
         "a month count of 2147483647 takes the rest of the file as January's days",
         QStringList{"0", "2013", "3,1,2,8"} + repeated(kZero, 11)},
        {"extra-month-line.dat",
         "a thirteenth month line shifts the rest: 2013, then a year 1 with 1 January",
         QStringList{"1", "2013"} + repeated(kZero, 12) + QStringList{"1", "1,1"} +
             repeated(kZero, 11)},
        {"years-out-of-range.dat", "years 0, -2013 and 2147483647 load as they are",
         QStringList{"2", "0"} + repeated(kZero, 12) + QStringList{"-2013"} + repeated(kZero, 12) +
             QStringList{"2147483647", "1,1"} + repeated(kZero, 11)},
    };
}

} // namespace

TEST(BadInput, DamagedHolidayFilesLoadWithoutAWordAndTheWindowCarriesOn)
{
    QStringList names;
    for (const HolidayCase &c : holidayCases()) {
        names.append(c.file);
        SCOPED_TRACE(c.file.toStdString() + ": " + c.outcome);
        TempAppFolder app;
        writeGlyphSet(app, kSet, 1, {4, 6}, {9, 6});
        app.write(QStringLiteral("Options.ini"), optionsWith(kSet));
        app.write(QStringLiteral("Праздники.dat"), corpusFile(QStringLiteral("holidays"), c.file));

        Session s(app.path());
        EXPECT_TRUE(s.platform.messages.empty())
            << messageTexts(s.platform).join(u'|').toStdString();
        const QByteArray expected = fileText(c.store);
        EXPECT_EQ(writePrazdniki(s.state.Prazdniki), expected);

        // The editor shows every year the file brought, month by month, and closes without
        // saving, which reads the file again.
        s.platform.dialogHandlers.push_back([](QDialog &dialog) {
            auto &editor = static_cast<frmPrazdniki &>(dialog);
            for (int y = 0; y < editor.lstGoda->count(); ++y) {
                editor.lstGoda->setCurrentRow(y);
                for (int m = 0; m < editor.lstMesyacy->count(); ++m)
                    editor.lstMesyacy->setCurrentRow(m);
            }
            editor.kNO_Click();
        });
        s.form->MenuPrazdniki_Click();
        EXPECT_EQ(writePrazdniki(s.state.Prazdniki), expected);
        EXPECT_EQ(app.read(QStringLiteral("Праздники.dat")),
                  corpusFile(QStringLiteral("holidays"), c.file))
            << "a load must never write the file";

        // Drawing 2013 either draws with what was read or asks for the year's holidays.
        s.platform.messages.clear();
        s.form->kNew_Click();
        const bool has2013 = s.state.Prazdniki.NaytiGod(2013) >= 0;
        EXPECT_EQ(messageTexts(s.platform), has2013 ? QStringList() : QStringList{kEnterHolidays});
        EXPECT_EQ(ui(*s.form).picRisunok[0]->isVisible(), has2013);
        EXPECT_TRUE(ui(*s.form).kNew->isEnabled());
    }
    expectEveryFileHasACase(QStringLiteral("holidays"), names);
}

// ---------------------------------------------------------------------------------------------
// "Options.ini"

namespace {

struct OptionsCase
{
    QString file;
    const char *outcome;
    QByteArray bytes; // for a case made here rather than read from the corpus
    int perRow;
    QStringList boxes;
    QString folder;
    qint32 sizeCheck;
    bool loaded;
    QString drawMessage; // empty: the sheet is drawn
    // The period and month lists always restore "Весь год" and "Январь" in these cases.
};

const QStringList kDesignBoxes = {"10", "5", "20", "20", "3", "2013"};

// A folder line longer than what is read of the file: the seven lines before it take 34 bytes,
// so 65536 - 34 of its letters are read and the lines after it are not.
QByteArray overLongFolderLine()
{
    return textFileContent({" 1", " 10", " 5", " 20", " 20", " 3", " 2013",
                            QString(70000, QChar(u'я')), " 1", " 5", " 1"});
}

std::vector<OptionsCase> optionsCases()
{
    const QString max = QStringLiteral("2147483647");
    const QString min = QStringLiteral("-2147483648");
    return {
        {"short.ini",
         "ends after line 4: the later boxes repeat its number, no folder",
         {},
         3,
         {"11", "6", "42", "42", "42", "42"},
         "",
         0,
         false,
         kChooseFolder},
        {"empty.ini",
         "every value reads as 0",
         {},
         0,
         repeated(kZero, 6),
         "",
         0,
         false,
         kChooseFolder},
        {"beyond-32-bits.ini",
         "numbers beyond 32 bits fail to read: 0 everywhere, set loads",
         {},
         0,
         repeated(kZero, 6),
         kSet,
         0,
         true,
         kNoYear},
        {"int32-max.ini",
         "the largest numbers: lists fall back, the set loads for a size check",
         {},
         2,
         repeated(max, 6),
         kSet,
         2147483647,
         true,
         kNoYear},
        {"int32-min.ini",
         "the smallest numbers: lists fall back, the set loads for a size check",
         {},
         2,
         repeated(min, 6),
         kSet,
         -2147483647 - 1,
         true,
         kNoYear},
        {"spacings-int32-max.ini",
         "loads; drawing refuses the size",
         {},
         1,
         repeated(max, 5) + QStringList{"2013"},
         kSet,
         0,
         true,
         kTooLarge},
        {"spacings-int32-min.ini",
         "loads; drawing refuses the size",
         {},
         1,
         repeated(min, 5) + QStringList{"2013"},
         kSet,
         0,
         true,
         kTooLarge},
        {"negative-numbers.ini",
         "-1 everywhere: lists fall back, boxes show -1",
         {},
         2,
         repeated(QStringLiteral("-1"), 6),
         kSet,
         -1,
         true,
         kNoYear},
        {"non-numeric.ini",
         "a line without a number repeats the last number read",
         {},
         3,
         {"3", "5", "5", "1", "0", "2013"},
         kSet,
         0,
         true,
         QString()},
        {"folder-parent.ini",
         "\"..\" is not a glyph folder: the load fails",
         {},
         1,
         kDesignBoxes,
         "..",
         0,
         false,
         kChooseFolder},
        {"folder-outside.ini",
         "a path out of the program's folder: the load fails",
         {},
         1,
         kDesignBoxes,
         "../outside",
         0,
         false,
         kChooseFolder},
        {"folder-nested.ini",
         "a path, even inside the program's folder: the load fails",
         {},
         1,
         kDesignBoxes,
         "sub/Набор",
         0,
         false,
         kChooseFolder},
        {"folder-backslash.ini",
         "a Windows path: the load fails",
         {},
         1,
         kDesignBoxes,
         "..\\outside",
         0,
         false,
         kChooseFolder},
        {"binary.ini",
         "no line holds a number: 0 everywhere, no folder",
         {},
         0,
         repeated(kZero, 6),
         "",
         0,
         false,
         kChooseFolder},
        {"", "an over-long folder line is cut where reading stops; the load fails",
         overLongFolderLine(), 1, kDesignBoxes, QString(65536 - 34, QChar(u'я')), 0, false,
         kChooseFolder},
    };
}

} // namespace

TEST(BadInput, DamagedSettingsRestoreWhatTheyCanAndNeverLeaveTheProgramsFolder)
{
    // The program's folder "app" holds the set; complete sets also lie where a damaged folder
    // name would lead, so following one would show as a successful load.
    TempAppFolder root;
    const QString app = root.path() + QStringLiteral("app/");
    writeGlyphSet(root, QStringLiteral("app/") + kSet, 1, {4, 6}, {9, 6});
    writeGlyphSet(root, QStringLiteral("outside"), 2, {4, 6}, {9, 6});
    writeGlyphSet(root, QString(), 3, {4, 6}, {9, 6});
    writeGlyphSet(root, QStringLiteral("app/sub/") + kSet, 4, {4, 6}, {9, 6});
    writeGlyphSet(root, QStringLiteral("app/..\\outside"), 5, {4, 6}, {9, 6});
    root.write(QStringLiteral("app/Праздники.dat"), kHolidays2013);

    QStringList names;
    for (const OptionsCase &c : optionsCases()) {
        names.append(c.file);
        SCOPED_TRACE((c.file.isEmpty() ? QStringLiteral("made here") : c.file).toStdString() +
                     ": " + c.outcome);
        root.write(QStringLiteral("app/Options.ini"),
                   c.file.isEmpty() ? c.bytes : corpusFile(QStringLiteral("options"), c.file));

        QStringList restored;
        {
            Session s(app);
            EXPECT_EQ(ui(*s.form).selXYMesyac->currentIndex(), c.perRow);
            EXPECT_EQ(s.boxes(), c.boxes);
            EXPECT_EQ(s.state.PapkaKartinok, c.folder);
            EXPECT_EQ(ui(*s.form).selKolMesyacev->currentIndex(), 0);
            EXPECT_EQ(ui(*s.form).selMesyac->currentIndex(), 0);
            EXPECT_EQ(s.state.ProverkaRazmerov, c.sizeCheck);
            EXPECT_EQ(s.state.KartinkiZagruzheny, c.loaded ? -1 : 0);
            EXPECT_EQ(s.form->windowTitle(),
                      c.loaded ? QStringLiteral("Создатель календарей Vexilo - [%1]").arg(kSet)
                               : QStringLiteral("Создатель календарей Vexilo"));
            const bool failedLoad = !c.folder.isEmpty() && !c.loaded;
            EXPECT_EQ(messageTexts(s.platform),
                      failedLoad ? QStringList{kLoadFailed} : QStringList());

            s.platform.messages.clear();
            s.form->kNew_Click();
            EXPECT_EQ(messageTexts(s.platform),
                      c.drawMessage.isEmpty() ? QStringList() : QStringList{c.drawMessage});
            EXPECT_EQ(ui(*s.form).picRisunok[0]->isVisible(), c.drawMessage.isEmpty());
            EXPECT_TRUE(ui(*s.form).kNew->isEnabled());

            // Closing writes what was restored; the next start finds the same.
            s.platform.messages.clear();
            s.form->close();
            EXPECT_TRUE(s.platform.messages.empty());
            restored = s.boxes();
        }
        Session next(app);
        EXPECT_EQ(ui(*next.form).selXYMesyac->currentIndex(), c.perRow);
        EXPECT_EQ(next.boxes(), restored);
        EXPECT_EQ(next.state.PapkaKartinok, c.folder);
        EXPECT_EQ(next.state.ProverkaRazmerov, c.sizeCheck);
        EXPECT_EQ(next.state.KartinkiZagruzheny, c.loaded ? -1 : 0);
    }
    names.removeAll(QString());
    expectEveryFileHasACase(QStringLiteral("options"), names);
}

// ---------------------------------------------------------------------------------------------
// Glyph folders

TEST(BadInput, AGlyphSetWithADamagedOrMissingImageFailsToLoadWithTheMessage)
{
    QStringList names = {QStringLiteral("one-pixel.gif")}; // the good glyph of the mixed set
    for (const BadGlyphCase &c : badGlyphCases()) {
        SCOPED_TRACE(c.glyph.toStdString() + ": " + c.what);
        TempAppFolder app;
        writeBadGlyphSet(app, kSet, c);
        app.write(QStringLiteral("Options.ini"), optionsWith(kSet));
        app.write(QStringLiteral("Праздники.dat"), kHolidays2013);

        Session s(app.path());
        EXPECT_EQ(messageTexts(s.platform), QStringList{kLoadFailed});
        EXPECT_EQ(s.state.KartinkiZagruzheny, 0);
        EXPECT_EQ(s.form->windowTitle(), QStringLiteral("Создатель календарей Vexilo"));
        EXPECT_TRUE(s.form->glyphs() == nullptr || s.form->glyphs()->Tsifry.empty());

        s.platform.messages.clear();
        s.form->kNew_Click();
        EXPECT_EQ(messageTexts(s.platform), QStringList{kChooseFolder});
        names.append(c.corpusFile);
    }
    expectEveryFileHasACase(QStringLiteral("glyphs"), names);
}

TEST(BadInput, ASetWhoseDrawingKillsItsLoaderIsReportedAndTheWindowOpens)
{
    TempAppFolder app;
    writeSvgGlyphs(app);
    // librsvg aborts on this text; the loader dies, the window does not.
    app.write(QStringLiteral("svgset/0.svg"),
              "<svg xmlns='http://www.w3.org/2000/svg' width='13' height='32'>"
              "<text font-size='1e7' y='20'>0</text></svg>");
    app.write(QStringLiteral("Options.ini"), optionsWith(QStringLiteral("svgset")));
    app.write(QStringLiteral("Праздники.dat"), kHolidays2013);

    Session s(app.path());
    ASSERT_NE(s.form, nullptr);
    EXPECT_EQ(messageTexts(s.platform), QStringList{kLoadFailed});
    EXPECT_EQ(s.state.KartinkiZagruzheny, 0);
    EXPECT_EQ(s.form->windowTitle(), QStringLiteral("Создатель календарей Vexilo"));
    s.platform.messages.clear();
    s.form->kNew_Click();
    EXPECT_EQ(messageTexts(s.platform), QStringList{kChooseFolder});
}

TEST(BadInput, GlyphsOfWildlyDifferentSizesAreLaidOutByZeroAndMondayAndClipped)
{
    TempAppFolder app;
    writeMixedSizeSet(app, kSet);
    app.write(QStringLiteral("Options.ini"), optionsWith(kSet));
    app.write(QStringLiteral("Праздники.dat"), kHolidays2013);

    Session s(app.path());
    ui(*s.form).selXYMesyac->setCurrentIndex(2); // 4 months in a row
    ASSERT_EQ(s.state.KartinkiZagruzheny, -1);
    s.form->kNew_Click();
    EXPECT_TRUE(s.platform.messages.empty());
    // Digit 1 x 1, "Пн" 300 wide, spacings 10, 5, 20, 20, 3: row pitch 1 + 5, canvas height
    // 7 * 6 - 5 = 37; left offset 300 + 20 = 320, column step 2 + 10 = 12, month width
    // 6 * (12 + 3) - 10 = 80, right column 4 * 80 + 2 * 320 - 10 = 950, canvas width
    // 300 + 950 = 1250; total height 37 + 2 * (20 + 37) = 151.
    EXPECT_EQ(s.state.KolRisunkov, 2);
    for (int k = 0; k <= 2; ++k)
        EXPECT_EQ(ui(*s.form).picRisunok[static_cast<std::size_t>(k)]->image().size(),
                  QSize(1250, 37));
    EXPECT_EQ(s.form->windowTitle(),
              QStringLiteral("Создатель календарей Vexilo - [Набор] - Размер: 1251x151"));
    // The 1000 x 700 "1" (ink 90, 0, 0; holiday red 255, 39, 39) is copied at its own size and
    // cut at the canvas edges: far more of its pixels show than any other glyph has.
    int ofTheOne = 0;
    for (int k = 0; k <= 2; ++k) {
        const QImage &canvas = ui(*s.form).picRisunok[static_cast<std::size_t>(k)]->image();
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x) {
                const QRgb p = canvas.pixel(x, y);
                ofTheOne += p == qRgb(90, 0, 0) || p == qRgb(255, 39, 39) ? 1 : 0;
            }
    }
    EXPECT_GT(ofTheOne, 1000);
}
