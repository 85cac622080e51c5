#include "holidays/frmPrazdniki.h"

#include "holidays/PrazdnikiFile.h"
#include "platform/PictureBox.h"
#include "shell/Declare.h"
#include "shell/Main.h"
#include "shell/frmForma.h"
#include "support/FormaUi.h"

#include "support/FakePlatform.h"
#include "support/TempAppFolder.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace vexilo;
using namespace vexilo::test;

namespace {

// As start-up leaves it: February is set by whoever shows a year.
const std::array<qint32, 13> kDniMesyaca = {0, 31, 0, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
const QString kFileName = QStringLiteral("Праздники.dat");

// Pixels drawn inside a cell of the grid, its border lines left out.
struct Ink
{
    int black = 0;
    int red = 0;
    int other = 0;
};

Ink inkInCell(const QImage &image, int column, int row)
{
    Ink ink;
    for (int y = 45 * row + 1; y < 45 * row + 45; ++y)
        for (int x = 45 * column + 1; x < 45 * column + 45; ++x) {
            const QRgb p = image.pixel(x, y);
            ink.black += p == qRgb(0, 0, 0) ? 1 : 0;
            ink.red += p == qRgb(255, 0, 0) ? 1 : 0;
            ink.other += p != qRgb(0, 0, 0) && p != qRgb(255, 0, 0) && p != qRgb(255, 255, 255);
        }
    return ink;
}

QStringList items(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

QString selectedText(const QListWidget *list)
{
    const QList<QListWidgetItem *> selected = list->selectedItems();
    return selected.isEmpty() ? QString() : selected.constFirst()->text();
}

void click(frmPrazdniki &form, int column, int row)
{
    form.picMesyac_MouseDown(45 * column + 22, 45 * row + 22);
    form.picMesyac_MouseUp(45 * column + 22, 45 * row + 22);
}

class HolidayEditorTest : public ::testing::Test
{
protected:
    // Writes a file of the given years, each with its default holidays, and loads it.
    void prepareFile(std::initializer_list<qint32> years)
    {
        PrazdnikiStore made;
        for (const qint32 God : years) {
            made.append();
            made.entry(made.KolGodov())->God = God;
            addDefaultHolidays(*made.entry(made.KolGodov()), God, kDniMesyaca);
        }
        app.write(kFileName, writePrazdniki(made));
        OpenPrazdniki(store, path);
    }

    std::unique_ptr<frmPrazdniki> open(const QString &yearText)
    {
        return std::make_unique<frmPrazdniki>(store, path, kDniMesyaca, yearText, platform);
    }

    // The file as a store.
    PrazdnikiStore saved() const
    {
        PrazdnikiStore reread;
        readPrazdniki(app.read(kFileName), reread);
        return reread;
    }

    TempAppFolder app;
    QString path = prazdnikiPath(app.path());
    FakePlatform platform;
    PrazdnikiStore store;
};

} // namespace

TEST_F(HolidayEditorTest, OpensOnTheMainWindowsYearCreatingItWithItsDefaultHolidays)
{
    prepareFile({2014});
    auto form = open(QStringLiteral("2013"));
    EXPECT_EQ(items(form->lstGoda), QStringList({"2013", "2014"}));
    EXPECT_EQ(selectedText(form->lstGoda), QStringLiteral("2013"));
    EXPECT_EQ(selectedText(form->lstMesyacy), QStringLiteral("Январь"));
    EXPECT_TRUE(form->kDelGod->isEnabled());
    EXPECT_EQ(form->Label1->text(), QStringLiteral("2013 ГОД ЗМЕИ"));
    ASSERT_EQ(store.KolGodov(), 1);
    EXPECT_EQ(form->NomerGoda(), 1);
    EXPECT_EQ(store.entry(1)->God, 2013);
    EXPECT_EQ(store.entry(1)->List(2, 23), 1);

    // 1 January 2013, a Tuesday, red; 8 January, an ordinary Tuesday, black.
    const QImage &grid = form->picMesyac->image();
    EXPECT_EQ(dayInCell(form->setka(), 0, 1), 1);
    EXPECT_GT(inkInCell(grid, 0, 1).red, 0);
    EXPECT_EQ(inkInCell(grid, 0, 1).black + inkInCell(grid, 0, 1).other, 0);
    EXPECT_GT(inkInCell(grid, 1, 1).black, 0);
    EXPECT_EQ(inkInCell(grid, 1, 1).red + inkInCell(grid, 1, 1).other, 0);
    EXPECT_EQ(inkInCell(grid, 0, 0).black, 0);
}

TEST_F(HolidayEditorTest, WithoutAPositiveYearNothingIsShownOrMarked)
{
    prepareFile({2013, 2014});
    const QByteArray before = writePrazdniki(store);
    for (const QString &yearText : {QStringLiteral("0"), QStringLiteral("-5"), QString()}) {
        auto form = open(yearText);
        EXPECT_TRUE(selectedText(form->lstGoda).isEmpty());
        EXPECT_EQ(form->NomerGoda(), -1);
        EXPECT_EQ(form->picMesyac->image().pixel(45, 45), qRgb(255, 255, 255));
        click(*form, 1, 1); // before any month is drawn

        // A month chosen now is drawn all black, February with 28 days and no more.
        form->lstMesyacy->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
        int days = 0;
        for (int c = 0; c < 6; ++c)
            for (int r = 0; r < 7; ++r)
                if (dayInCell(form->setka(), c, r) != 0) {
                    ++days;
                    EXPECT_EQ(inkInCell(form->picMesyac->image(), c, r).red, 0);
                }
        EXPECT_EQ(days, 28);

        click(*form, 3, 3);
        form->kDelGod_Click(); // two years listed, none selected
        EXPECT_TRUE(platform.messages.empty());
        EXPECT_EQ(form->lstGoda->count(), 2);
        EXPECT_EQ(writePrazdniki(store), before);
    }
}

TEST_F(HolidayEditorTest, AFileOfThousandsOfYearsOpensAtOnceInTextOrder)
{
    for (qint32 God = kMaxFileYears; God > 0; --God) {
        store.append();
        store.entry(store.KolGodov())->God = God;
    }
    // How fast it opens is shown by the holiday editor's benchmark.
    auto form = open(QString());
    ASSERT_EQ(form->lstGoda->count(), kMaxFileYears);
    EXPECT_EQ(form->lstGoda->item(0)->text(), QStringLiteral("1"));
    EXPECT_EQ(form->lstGoda->item(1)->text(), QStringLiteral("10"));
}

TEST_F(HolidayEditorTest, AddingAYearTakesOnlyFourDigitYearsAndNeverDuplicates)
{
    prepareFile({2014, 99});
    auto form = open(QString());
    platform.inputAnswers = {QStringLiteral("999"), QStringLiteral("10000"), QStringLiteral("год"),
                             std::nullopt, QStringLiteral("2014")};
    for (int i = 0; i < 5; ++i)
        form->kAddGod_Click();
    EXPECT_EQ(platform.inputPrompts.value(0), QStringLiteral("Введите нужный год"));
    EXPECT_EQ(items(form->lstGoda), QStringList({"2014", "99"}));
    EXPECT_EQ(selectedText(form->lstGoda), QStringLiteral("2014"));
    EXPECT_EQ(store.KolGodov(), 1);
    EXPECT_EQ(form->Label1->text(), QStringLiteral("2014 ГОД ЛОШАДИ"));

    platform.inputAnswers = {QStringLiteral("2012,7")};
    form->kAddGod_Click();
    EXPECT_EQ(items(form->lstGoda), QStringList({"2012", "2014", "99"}));
    EXPECT_EQ(selectedText(form->lstGoda), QStringLiteral("2012"));
    EXPECT_EQ(form->NomerGoda(), 2);
    EXPECT_EQ(store.NaytiGod(2012), 2);
    EXPECT_EQ(store.entry(2)->List(1, 7), 1);
    EXPECT_EQ(form->calendar().KolDney[2], 29);
}

TEST_F(HolidayEditorTest, AClickIsAPressAndAReleaseInTheSameCell)
{
    prepareFile({2013});
    auto form = open(QStringLiteral("2013"));
    const clsPrazdniki *year = store.entry(0);
    const QImage &grid = form->picMesyac->image();

    // 8 January 2013 turns red and back, with any button, the store following each click.
    QTest::mouseClick(form->picMesyac, Qt::LeftButton, {}, QPoint(67, 67));
    EXPECT_EQ(year->List(1, 8), 1);
    EXPECT_EQ(inkInCell(grid, 1, 1).black + inkInCell(grid, 1, 1).other, 0);
    QTest::mouseClick(form->picMesyac, Qt::RightButton, {}, QPoint(80, 50));
    EXPECT_EQ(year->List(1, 8), 0);
    EXPECT_EQ(inkInCell(grid, 1, 1).red + inkInCell(grid, 1, 1).other, 0);

    const QByteArray before = writePrazdniki(store);
    const std::array<std::array<double, 4>, 5> presses = {{
        {22, 45 * 4 + 22, 22, 45 * 5 + 22}, // on day 5, released on day 6
        {22, 22, 22, 67},                   // on an empty cell, released on day 1
        {270, 100, 270, 100},               // in the last pixel column
        {100, 315, 100, 315},               // in the last pixel row
        {1e9, -1e9, 1e9, -1e9},
    }};
    for (const auto &[x0, y0, x1, y1] : presses) {
        form->picMesyac_MouseDown(x0, y0);
        form->picMesyac_MouseUp(x1, y1);
    }
    form->picMesyac_MouseUp(67, 67); // a release with no press
    EXPECT_EQ(writePrazdniki(store), before);

    // Another month is toggled in its own month: Friday 1 March 2013.
    form->lstMesyacy->setCurrentRow(2, QItemSelectionModel::ClearAndSelect);
    click(*form, 0, 4);
    EXPECT_EQ(year->List(3, 1), 1);
}

TEST_F(HolidayEditorTest, CancelOrTheCloseBoxThrowAwayEveryChange)
{
    prepareFile({2013, 2014});
    const QByteArray file = app.read(kFileName);
    for (const bool closeBox : {false, true}) {
        auto form = open(QStringLiteral("2013"));
        click(*form, 1, 1); // 8 January
        platform.inputAnswers = {QStringLiteral("2015")};
        form->kAddGod_Click();
        form->lstGoda->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
        form->kDelGod_Click(); // 2014, answered Yes
        ASSERT_EQ(store.NaytiGod(2014), -1);

        form->show();
        if (closeBox)
            form->close();
        else
            QTest::mouseClick(form->kNO, Qt::LeftButton);
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(app.read(kFileName), file);
        EXPECT_EQ(writePrazdniki(store), file);
    }
}

TEST_F(HolidayEditorTest, SaveKeepsTheChangesAndTheNextCancelOnlyItsOwn)
{
    prepareFile({2013});
    auto first = open(QStringLiteral("2013"));
    click(*first, 1, 1); // 8 January
    first->kSave_Click();
    EXPECT_EQ(first->result(), QDialog::Accepted);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(saved().entry(0)->List(1, 8), 1);

    auto second = open(QStringLiteral("2013"));
    click(*second, 1, 2); // 9 January
    second->kNO_Click();
    EXPECT_EQ(saved().entry(0)->List(1, 9), 0);
    EXPECT_EQ(store.entry(0)->List(1, 9), 0);
    EXPECT_EQ(store.entry(0)->List(1, 8), 1);
}

// Two copies of the program, one file: a save never silently throws away the other copy's.
TEST_F(HolidayEditorTest, AFileSavedByAnotherCopyIsShownAndOverwrittenOnlyWhenTheUserSaysSo)
{
    prepareFile({2013});
    PrazdnikiStore other;
    OpenPrazdniki(other, path);
    const auto otherSaves = [&](qint32 day) {
        ASSERT_TRUE(other.entry(0)->AddPrazdnik(1, day));
        ASSERT_TRUE(SavePrazdniki(other, path).write.ok);
    };

    // Saved before this editor opens: it shows the other copy's marks and asks nothing.
    otherSaves(4);
    open(QStringLiteral("2013"))->kSave_Click();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(saved().entry(0)->mark(1, 4), 1);

    // Saved while this editor is open: the user chooses.
    for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        platform.messages.clear();
        const qint32 theirs = answer == MsgAnswer::No ? 10 : 11;
        auto editor = open(QStringLiteral("2013"));
        click(*editor, 1, 2); // 9 January
        otherSaves(theirs);
        platform.answers = {answer};
        editor->kSave_Click();
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].buttons, MsgButtons::YesNo);
        EXPECT_TRUE(platform.messages[0].text.contains(path));
        const PrazdnikiStore file = saved();
        EXPECT_EQ(file.entry(0)->mark(1, 9), answer == MsgAnswer::Yes ? 1 : 0);
        EXPECT_EQ(file.entry(0)->mark(1, theirs), answer == MsgAnswer::Yes ? 0 : 1);
        // The window's store is the file again either way.
        EXPECT_EQ(writePrazdniki(store), app.read(kFileName));
        OpenPrazdniki(other, path);
    }
}

TEST_F(HolidayEditorTest, ARemovedAndReaddedYearIsSavedAsTheUserLeftIt)
{
    prepareFile({2013, 2014});
    auto form = open(QStringLiteral("2014"));
    platform.answers = {MsgAnswer::No};
    form->kDelGod_Click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, QStringLiteral("Удалить 2014 год?"));
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(form->lstGoda->count(), 2);

    form->kDelGod_Click();
    EXPECT_EQ(items(form->lstGoda), QStringList({"2013"}));
    EXPECT_EQ(form->Label1->text(), QStringLiteral("2013 ГОД ЗМЕИ"));
    EXPECT_FALSE(form->kDelGod->isEnabled());

    // Back in a new entry with its default holidays; 7 January (a Tuesday) then cleared.
    platform.inputAnswers = {QStringLiteral("2014")};
    form->kAddGod_Click();
    EXPECT_TRUE(form->kDelGod->isEnabled());
    EXPECT_EQ(store.NaytiGod(2014), 2);
    click(*form, 1, 1);
    form->kSave_Click();
    PrazdnikiStore file = saved();
    ASSERT_EQ(file.KolGodov(), 1);
    EXPECT_EQ(file.entry(1)->God, 2014);
    EXPECT_EQ(file.entry(1)->List(1, 6), 1);
    EXPECT_EQ(file.entry(1)->List(1, 7), 0);

    // Removed again and saved: gone from the file and from the next opening.
    auto second = open(QStringLiteral("2014"));
    second->kDelGod_Click();
    second->kSave_Click();
    EXPECT_EQ(saved().NaytiGod(2014), -1);
    EXPECT_EQ(items(open(QString())->lstGoda), QStringList({"2013"}));
}

TEST_F(HolidayEditorTest, RemovingOneOfTwoEntriesOfAYearShowsTheOtherOne)
{
    prepareFile({2013, 2013}); // only a hand-made file holds a year twice
    auto form = open(QStringLiteral("2013"));
    ASSERT_EQ(form->NomerGoda(), 0);
    form->kDelGod_Click();
    EXPECT_EQ(form->NomerGoda(), 1);
    click(*form, 1, 1);
    form->kSave_Click();
    ASSERT_EQ(saved().KolGodov(), 0);
    EXPECT_EQ(saved().entry(0)->List(1, 8), 1);
}

TEST_F(HolidayEditorTest, AFailedSaveIsReportedAndTheWindowClosesAllTheSame)
{
    app.makeFolder(kFileName);
    auto form = open(QStringLiteral("2013"));
    form->show();
    QTest::mouseClick(form->kSave, Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1].text,
              QStringLiteral("Файл «") + path + QStringLiteral("» сохранить не возможно."));
    EXPECT_EQ(store.NaytiGod(2013), 0); // the store keeps the new year
}

TEST_F(HolidayEditorTest, SavingOverAFileNotReadWholeKeepsItAndSaysSoOnce)
{
    // A byte-order mark reads whole; a stray word after the years does not.
    prepareFile({2013});
    const QByteArray damaged = app.read(kFileName) + "конец";
    app.write(kFileName, damaged);
    OpenPrazdniki(store, path);
    for (int round = 0; round < 2; ++round)
        open(QStringLiteral("2013"))->kSave_Click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              QStringLiteral("Файл «%1» был прочитан не полностью. Прежний файл сохранён под "
                             "именем «%1.bak».")
                  .arg(path));
    EXPECT_EQ(platform.messages[0].caption, QStringLiteral("Создатель календарей Vexilo"));
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(app.read(kFileName + QStringLiteral(".bak")), damaged);
    EXPECT_EQ(saved().NaytiGod(2013), 0);
}

TEST_F(HolidayEditorTest, ImportMarksTheShownYearOrEveryYearAndSavesNothing)
{
    prepareFile({2027});
    const QByteArray file = app.read(kFileName);
    app.write(QStringLiteral("k.ics"),
              "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//RU\r\n"
              "BEGIN:VEVENT\r\nUID:a\r\nDTSTART;VALUE=DATE:20270309\r\n"
              "DTEND;VALUE=DATE:20270311\r\nEND:VEVENT\r\n"
              "BEGIN:VEVENT\r\nUID:b\r\nDTSTART;VALUE=DATE:20280505\r\nEND:VEVENT\r\n"
              "END:VCALENDAR\r\n");
    auto form = open(QStringLiteral("2027"));
    form->lstMesyacy->setCurrentRow(2); // March

    // "No": the shown year only.
    platform.openNames = {app.file(QStringLiteral("k.ics"))};
    platform.answers = {MsgAnswer::No};
    form->kImport->click();
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(platform.messages[0].text.contains(QStringLiteral("2027–2028")));
    EXPECT_EQ(platform.messages[1].text, QStringLiteral("Отмечено 2 дня. 2027 год."));
    EXPECT_EQ(store.entry(store.NaytiGod(2027))->mark(3, 9), 1);
    EXPECT_EQ(store.NaytiGod(2028), -1);
    // The grid shows 9 March (a Tuesday, second week column) in red at once.
    EXPECT_GT(inkInCell(form->picMesyac->image(), 1, 1).red, 0);

    // "Yes": 2028 is created with its default holidays, then marked.
    platform.openNames = {app.file(QStringLiteral("k.ics"))};
    form->kImport->click();
    EXPECT_EQ(items(form->lstGoda), QStringList({"2027", "2028"}));
    EXPECT_TRUE(form->kDelGod->isEnabled());
    const qint32 added = store.NaytiGod(2028);
    ASSERT_GE(added, 0);
    EXPECT_EQ(store.entry(added)->mark(5, 5), 1);
    EXPECT_EQ(store.entry(added)->mark(1, 1), 1);
    EXPECT_EQ(app.read(kFileName), file); // nothing saved until "Сохранить"

    // A file that is no calendar, or a cancelled dialog: one message or none, no change.
    const QByteArray marks = writePrazdniki(store);
    platform.messages.clear();
    platform.openNames = {app.file(kFileName)};
    form->kImport->click();
    form->kImport->click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains(QStringLiteral("iCalendar")));
    EXPECT_EQ(writePrazdniki(store), marks);
}

TEST(HolidayEditorFromMainWindow, StartUpLoadsTheFileAndTheMenuOpensTheEditor)
{
    TempAppFolder app;
    PrazdnikiStore made;
    made.append();
    made.entry(0)->God = 2013;
    app.write(kFileName, writePrazdniki(made));

    Declare state;
    FakePlatform platform;
    const std::unique_ptr<frmForma> form = Main(state, platform, app.path());
    EXPECT_EQ(state.Prazdniki.NaytiGod(2013), 0);

    ui(*form).txtRassttoyanie[5]->setText(QStringLiteral("2013"));
    platform.dialogHandlers.push_back([](QDialog &dialog) {
        auto &editor = dynamic_cast<frmPrazdniki &>(dialog);
        click(editor, 1, 1); // 8 January
        editor.kSave_Click();
    });
    form->MenuPrazdniki_Click();
    EXPECT_EQ(platform.dialogsShown, QStringList({"frmPrazdniki"}));
    PrazdnikiStore reread;
    readPrazdniki(app.read(kFileName), reread);
    ASSERT_EQ(reread.KolGodov(), 0);
    EXPECT_EQ(reread.entry(0)->List(1, 8), 1);
}

TEST(HolidayEditorFromMainWindow, ImportStartsWhereTheLastImportWasTakenFromEvenAfterARestart)
{
    TempAppFolder app;
    app.makeFolder(QStringLiteral("Календари"));
    app.write(QStringLiteral("Календари/2030.csv"), "not a calendar");
    const QString chosenFolder = app.file(QStringLiteral("Календари"));
    // One import from a freshly started window; where its file dialog started.
    const auto importOnce = [&] {
        Declare state;
        FakePlatform platform;
        const std::unique_ptr<frmForma> form = Main(state, platform, app.path());
        platform.dialogHandlers.push_back([](QDialog &dialog) {
            dynamic_cast<frmPrazdniki &>(dialog).kImport->click();
            dialog.reject();
        });
        platform.openNames = {app.file(QStringLiteral("Календари/2030.csv"))};
        form->MenuPrazdniki_Click();
        return std::pair(platform.openStartFolder, state.paths.importStartFolder());
    };
    const auto [first, home] = importOnce();
    EXPECT_EQ(first, home);
    EXPECT_EQ(importOnce().first, chosenFolder);
    ASSERT_TRUE(QDir(chosenFolder).removeRecursively());
    EXPECT_EQ(importOnce().first, home) << "a folder that is gone";
}
