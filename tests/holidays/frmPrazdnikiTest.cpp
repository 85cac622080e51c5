#include "holidays/frmPrazdniki.h"

#include "holidays/PictureBox.h"
#include "holidays/PrazdnikiFile.h"
#include "shell/Declare.h"
#include "shell/Main.h"
#include "shell/frmForma.h"

#include "support/FakePlatform.h"
#include "support/TempAppFolder.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace vexilo;
using namespace vexilo::test;

namespace {

// As start-up leaves it: February is set by whoever draws a year.
const std::array<qint32, 13> kDniMesyaca = {0, 31, 0, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

struct Ink
{
    int black = 0;
    int red = 0;
    int other = 0; // neither white, black nor red
};

// What is drawn inside a cell of the grid, its border lines left out.
Ink inkInCell(const QImage &image, int column, int row)
{
    Ink ink;
    for (int y = 45 * row + 1; y < 45 * row + 45; ++y)
        for (int x = 45 * column + 1; x < 45 * column + 45; ++x) {
            const QRgb p = image.pixel(x, y);
            if (p == qRgb(0, 0, 0))
                ++ink.black;
            else if (p == qRgb(255, 0, 0))
                ++ink.red;
            else if (p != qRgb(255, 255, 255))
                ++ink.other;
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

class HolidayEditorTest : public ::testing::Test
{
protected:
    // Writes a file of the given years, each with the default holidays, and loads it.
    void prepareFile(std::initializer_list<qint32> years)
    {
        PrazdnikiStore made;
        for (const qint32 God : years) {
            made.append();
            made.entry(made.KolGodov())->God = God;
            addDefaultHolidays(*made.entry(made.KolGodov()), God, kDniMesyaca);
        }
        app.write(QStringLiteral("Праздники.dat"), writePrazdniki(made));
        OpenPrazdniki(store, path);
    }

    std::unique_ptr<frmPrazdniki> open(const QString &yearText)
    {
        return std::make_unique<frmPrazdniki>(store, path, kDniMesyaca, yearText, platform);
    }

    QByteArray fileBytes() const { return app.read(QStringLiteral("Праздники.dat")); }

    static void click(frmPrazdniki &form, int column, int row)
    {
        form.picMesyac_MouseDown(45 * column + 22, 45 * row + 22);
        form.picMesyac_MouseUp(45 * column + 22, 45 * row + 22);
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

    EXPECT_EQ(form->objectName(), QStringLiteral("frmPrazdniki"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ввод праздников"));
    EXPECT_EQ(form->size(), QSize(514, 407));
    EXPECT_EQ(form->picMesyac->geometry(), QRect(232, 32, 271, 316));
    EXPECT_EQ(form->picDniNedeli->geometry(), QRect(200, 32, 31, 316));
    EXPECT_EQ(form->lstMesyacy->count(), 12);
    EXPECT_EQ(form->lstMesyacy->item(11)->text(), QStringLiteral("Декабрь"));

    EXPECT_EQ(items(form->lstGoda), QStringList({"2013", "2014"}));
    EXPECT_EQ(selectedText(form->lstGoda), QStringLiteral("2013"));
    EXPECT_TRUE(form->kDelGod->isEnabled());
    EXPECT_EQ(form->Label1->text(), QStringLiteral("2013 ГОД ЗМЕИ"));
    EXPECT_EQ(form->lstMesyacy->selectedItems().value(0), form->lstMesyacy->item(0));

    ASSERT_EQ(store.KolGodov(), 1);
    EXPECT_EQ(form->NomerGoda(), 1);
    const clsPrazdniki *created = store.entry(1);
    EXPECT_EQ(created->God, 2013);
    EXPECT_EQ(created->List(1, 1), 1);
    EXPECT_EQ(created->List(1, 8), 0);
    EXPECT_EQ(created->List(2, 23), 1);
    EXPECT_EQ(created->List(1, 12), 1); // a Saturday
    EXPECT_EQ(form->calendar().KolDney[2], 28);

    // January 2013: 1st a Tuesday, in red; the 8th an ordinary Tuesday, in black.
    EXPECT_EQ(dayInCell(form->setka(), 0, 1), 1);
    const QImage &grid = form->picMesyac->image();
    const Ink first = inkInCell(grid, 0, 1);
    EXPECT_GT(first.red, 0);
    EXPECT_EQ(first.black + first.other, 0);
    const Ink eighth = inkInCell(grid, 1, 1);
    EXPECT_GT(eighth.black, 0);
    EXPECT_EQ(eighth.red + eighth.other, 0);
    EXPECT_EQ(inkInCell(grid, 0, 0).black, 0); // Monday 31 December is not in January
    EXPECT_EQ(grid.pixel(0, 45), qRgb(0, 0, 0));

    // The weekday column faces the rows: Monday blue, Sunday red.
    const QImage &weekdays = form->picDniNedeli->image();
    bool blue = false;
    bool red = false;
    for (int y = 0; y < 45; ++y)
        for (int x = 0; x < 31; ++x)
            blue = blue || weekdays.pixel(x, y) == qRgb(0, 0, 255);
    for (int y = 270; y < 315; ++y)
        for (int x = 0; x < 31; ++x)
            red = red || weekdays.pixel(x, y) == qRgb(255, 0, 0);
    EXPECT_TRUE(blue);
    EXPECT_TRUE(red);
}

TEST_F(HolidayEditorTest, WithoutAPositiveYearNothingIsShownOrMarked)
{
    prepareFile({2013, 2014});
    const QByteArray before = writePrazdniki(store);
    for (const QString &yearText :
         {QStringLiteral("0"), QStringLiteral("-5"), QStringLiteral("abc"), QString()}) {
        auto form = open(yearText);
        EXPECT_TRUE(form->lstGoda->selectedItems().isEmpty()) << yearText.toStdString();
        EXPECT_EQ(form->NomerGoda(), -1);
        EXPECT_TRUE(form->Label1->text().isEmpty());
        EXPECT_EQ(store.KolGodov(), 1);
        const QImage &grid = form->picMesyac->image();
        EXPECT_EQ(grid.pixel(0, 0), qRgb(255, 255, 255));
        EXPECT_EQ(grid.pixel(45, 45), qRgb(255, 255, 255));

        // A press before any month is drawn marks nothing.
        click(*form, 0, 0);

        // A month chosen now is drawn all black, with February's 28 days and no more.
        form->lstMesyacy->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
        int days = 0;
        for (int c = 0; c < 6; ++c)
            for (int r = 0; r < 7; ++r)
                if (const qint32 day = dayInCell(form->setka(), c, r); day != 0) {
                    ++days;
                    EXPECT_EQ(inkInCell(grid, c, r).red, 0);
                    EXPECT_GT(inkInCell(grid, c, r).black, 0);
                }
        EXPECT_EQ(days, 28);

        // Clicking a day, or "Удалить год" with nothing selected, does nothing.
        click(*form, 3, 3);
        form->kDelGod_Click();
        EXPECT_TRUE(platform.messages.empty());
        EXPECT_EQ(form->lstGoda->count(), 2);
        EXPECT_EQ(writePrazdniki(store), before);
    }
}

TEST_F(HolidayEditorTest, AddingAYearTakesOnlyFourDigitYearsAndNeverDuplicates)
{
    prepareFile({2014});
    auto form = open(QString());
    EXPECT_FALSE(form->kDelGod->isEnabled());

    platform.inputAnswers = {QStringLiteral("999"), QStringLiteral("10000"), QStringLiteral("год"),
                             std::nullopt};
    for (int i = 0; i < 4; ++i)
        form->kAddGod_Click();
    EXPECT_EQ(platform.inputPrompts.value(0), QStringLiteral("Введите нужный год"));
    EXPECT_EQ(items(form->lstGoda), QStringList({"2014"}));
    EXPECT_EQ(store.KolGodov(), 0);
    EXPECT_TRUE(form->lstGoda->selectedItems().isEmpty());
    EXPECT_TRUE(platform.messages.empty());

    // A listed year is selected and shown, not added again.
    platform.inputAnswers = {QStringLiteral("2014")};
    form->kAddGod_Click();
    EXPECT_EQ(items(form->lstGoda), QStringList({"2014"}));
    EXPECT_EQ(selectedText(form->lstGoda), QStringLiteral("2014"));
    EXPECT_EQ(store.KolGodov(), 0);
    EXPECT_EQ(form->NomerGoda(), 0);
    EXPECT_EQ(form->Label1->text(), QStringLiteral("2014 ГОД ЛОШАДИ"));
    EXPECT_FALSE(form->kDelGod->isEnabled());

    // A new one is created, shown and sorted in; now a year can be removed.
    platform.inputAnswers = {QStringLiteral("2012,7")};
    form->kAddGod_Click();
    EXPECT_EQ(items(form->lstGoda), QStringList({"2012", "2014"}));
    EXPECT_EQ(selectedText(form->lstGoda), QStringLiteral("2012"));
    EXPECT_EQ(store.NaytiGod(2012), 1);
    EXPECT_EQ(form->NomerGoda(), 1);
    EXPECT_EQ(store.entry(1)->List(1, 7), 1);
    EXPECT_TRUE(form->kDelGod->isEnabled());
    EXPECT_EQ(form->calendar().KolDney[2], 29);
}

TEST_F(HolidayEditorTest, YearsKeepTextOrder)
{
    prepareFile({2013, 99});
    auto form = open(QString());
    platform.inputAnswers = {QStringLiteral("1500")};
    form->kAddGod_Click();
    EXPECT_EQ(items(form->lstGoda), QStringList({"1500", "2013", "99"}));
}

TEST_F(HolidayEditorTest, AClickIsAPressAndAReleaseInTheSameCell)
{
    prepareFile({2013});
    auto form = open(QStringLiteral("2013"));
    const clsPrazdniki *year = store.entry(0);
    const QImage &grid = form->picMesyac->image();

    // 8 January 2013 (column 1, row 1) turns red and back, the store following each click.
    ASSERT_EQ(dayInCell(form->setka(), 1, 1), 8);
    QTest::mouseClick(form->picMesyac, Qt::LeftButton, {}, QPoint(67, 67));
    EXPECT_EQ(year->List(1, 8), 1);
    EXPECT_GT(inkInCell(grid, 1, 1).red, 0);
    EXPECT_EQ(inkInCell(grid, 1, 1).black + inkInCell(grid, 1, 1).other, 0);
    QTest::mouseClick(form->picMesyac, Qt::RightButton, {}, QPoint(80, 50));
    EXPECT_EQ(year->List(1, 8), 0);
    EXPECT_GT(inkInCell(grid, 1, 1).black, 0);
    EXPECT_EQ(inkInCell(grid, 1, 1).red + inkInCell(grid, 1, 1).other, 0);

    const QByteArray before = writePrazdniki(store);
    // Pressed on day 5, released on day 6.
    form->picMesyac_MouseDown(22, 45 * 4 + 22);
    form->picMesyac_MouseUp(22, 45 * 5 + 22);
    // Pressed on an empty cell, released on day 1.
    form->picMesyac_MouseDown(22, 22);
    form->picMesyac_MouseUp(22, 67);
    // Pressed in the last pixel column and row, beyond the cells.
    form->picMesyac_MouseDown(270, 100);
    form->picMesyac_MouseUp(270, 100);
    form->picMesyac_MouseDown(100, 315);
    form->picMesyac_MouseUp(100, 315);
    // A release after a finished click is no click.
    form->picMesyac_MouseUp(67, 67);
    EXPECT_EQ(writePrazdniki(store), before);

    // A release just left of the box still counts as the first column.
    form->picMesyac_MouseDown(22, 67);
    form->picMesyac_MouseUp(-30, 67);
    EXPECT_EQ(year->List(1, 1), 0);

    // Another month is toggled in its own month.
    form->lstMesyacy->setCurrentRow(2, QItemSelectionModel::ClearAndSelect);
    const auto [column, row] = std::pair{0, 4}; // Friday 1 March 2013
    ASSERT_EQ(dayInCell(form->setka(), column, row), 1);
    click(*form, column, row);
    EXPECT_EQ(year->List(3, 1), 1);
    EXPECT_EQ(year->List(1, 1), 0);
}

TEST_F(HolidayEditorTest, CancelOrTheCloseBoxThrowAwayEveryChange)
{
    prepareFile({2013, 2014});
    const QByteArray file = fileBytes();
    for (const bool closeBox : {false, true}) {
        auto form = open(QStringLiteral("2013"));
        click(*form, 1, 1); // 8 January
        platform.inputAnswers = {QStringLiteral("2015")};
        form->kAddGod_Click();
        form->lstGoda->setCurrentRow(2, QItemSelectionModel::ClearAndSelect);
        ASSERT_EQ(selectedText(form->lstGoda), QStringLiteral("2015"));
        form->lstGoda->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
        form->kDelGod_Click(); // 2014, answered Yes
        ASSERT_EQ(store.NaytiGod(2014), -1);
        ASSERT_GE(store.NaytiGod(2015), 0);

        form->show();
        if (closeBox)
            form->close();
        else
            QTest::mouseClick(form->kNO, Qt::LeftButton);
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(form->result(), QDialog::Rejected);
        EXPECT_EQ(fileBytes(), file);
        EXPECT_EQ(writePrazdniki(store), file);
        EXPECT_EQ(store.NaytiGod(2015), -1);
        EXPECT_EQ(store.entry(store.NaytiGod(2013))->List(1, 8), 0);
    }
}

TEST_F(HolidayEditorTest, SaveKeepsTheChangesAndTheNextCancelOnlyItsOwn)
{
    prepareFile({2013});
    {
        auto form = open(QStringLiteral("2013"));
        click(*form, 1, 1); // 8 January
        form->kSave_Click();
        EXPECT_EQ(form->result(), QDialog::Accepted);
    }
    EXPECT_TRUE(platform.messages.empty());
    const QByteArray saved = fileBytes();
    PrazdnikiStore reread;
    readPrazdniki(saved, reread);
    ASSERT_EQ(reread.KolGodov(), 0);
    EXPECT_EQ(reread.entry(0)->List(1, 8), 1);

    {
        auto form = open(QStringLiteral("2013"));
        click(*form, 1, 2); // 9 January
        EXPECT_EQ(store.entry(0)->List(1, 9), 1);
        form->kNO_Click();
    }
    EXPECT_EQ(fileBytes(), saved);
    EXPECT_EQ(store.entry(0)->List(1, 9), 0);
    EXPECT_EQ(store.entry(0)->List(1, 8), 1);
}

TEST_F(HolidayEditorTest, ARemovedAndReaddedYearIsSavedAsTheUserLeftIt)
{
    prepareFile({2013, 2014});
    auto form = open(QStringLiteral("2014"));
    click(*form, 1, 0); // 6 January 2014, a Monday holiday, now cleared
    ASSERT_EQ(store.entry(1)->List(1, 6), 0);

    // "No" keeps the year.
    platform.answers = {MsgAnswer::No};
    form->kDelGod_Click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, QStringLiteral("Удалить 2014 год?"));
    EXPECT_EQ(platform.messages[0].caption, QStringLiteral("Создатель календарей Vexilo"));
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(platform.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(items(form->lstGoda), QStringList({"2013", "2014"}));

    form->kDelGod_Click();
    EXPECT_EQ(items(form->lstGoda), QStringList({"2013"}));
    EXPECT_EQ(selectedText(form->lstGoda), QStringLiteral("2013"));
    EXPECT_EQ(form->Label1->text(), QStringLiteral("2013 ГОД ЗМЕИ"));
    EXPECT_FALSE(form->kDelGod->isEnabled());
    EXPECT_EQ(store.NaytiGod(2014), -1);

    // Back with its default holidays, in a new entry.
    platform.inputAnswers = {QStringLiteral("2014")};
    form->kAddGod_Click();
    const qint32 again = store.NaytiGod(2014);
    EXPECT_EQ(again, 2);
    EXPECT_EQ(store.entry(again)->List(1, 6), 1);
    click(*form, 1, 1); // 7 January cleared in the new entry
    EXPECT_EQ(store.entry(again)->List(1, 7), 0);
    form->kSave_Click();

    PrazdnikiStore reread;
    readPrazdniki(fileBytes(), reread);
    ASSERT_EQ(reread.KolGodov(), 1);
    EXPECT_EQ(reread.entry(1)->God, 2014);
    EXPECT_EQ(reread.entry(1)->List(1, 6), 1);
    EXPECT_EQ(reread.entry(1)->List(1, 7), 0);

    // Removed a second time and saved: gone from the file and the next opening.
    auto second = open(QStringLiteral("2014"));
    second->kDelGod_Click();
    second->kSave_Click();
    readPrazdniki(fileBytes(), reread);
    EXPECT_EQ(reread.KolGodov(), 0);
    EXPECT_EQ(reread.NaytiGod(2014), -1);
    auto third = open(QString());
    EXPECT_EQ(items(third->lstGoda), QStringList({"2013"}));
}

TEST_F(HolidayEditorTest, RemovingOneOfTwoEntriesOfAYearShowsTheOtherOne)
{
    // Only a hand-made file holds a year twice.
    prepareFile({2013, 2013});
    auto form = open(QStringLiteral("2013"));
    ASSERT_EQ(form->NomerGoda(), 0);
    form->kDelGod_Click();
    EXPECT_EQ(items(form->lstGoda), QStringList({"2013"}));
    EXPECT_EQ(form->NomerGoda(), 1);
    click(*form, 1, 1);
    EXPECT_EQ(store.entry(1)->List(1, 8), 1);
    form->kSave_Click();
    PrazdnikiStore reread;
    readPrazdniki(fileBytes(), reread);
    ASSERT_EQ(reread.KolGodov(), 0);
    EXPECT_EQ(reread.entry(0)->List(1, 8), 1);
}

TEST_F(HolidayEditorTest, AFailedSaveIsReportedAndTheWindowClosesAllTheSame)
{
    app.makeFolder(QStringLiteral("Праздники.dat"));
    auto form = open(QStringLiteral("2013"));
    form->show();
    QTest::mouseClick(form->kSave, Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Accepted);
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1].text,
              QStringLiteral("Файл «") + path + QStringLiteral("» сохранить не возможно."));
    EXPECT_EQ(store.NaytiGod(2013), 0); // the store keeps the new year
}

TEST(HolidayEditorFromMainWindow, StartUpLoadsTheFileAndTheMenuOpensTheEditor)
{
    TempAppFolder app;
    PrazdnikiStore made;
    made.append();
    made.entry(0)->God = 2013;
    app.write(QStringLiteral("Праздники.dat"), writePrazdniki(made));

    Declare state;
    FakePlatform platform;
    const std::unique_ptr<frmForma> form = Main(state, platform, app.path());
    ASSERT_EQ(state.Prazdniki.KolGodov(), 0);
    EXPECT_EQ(state.Prazdniki.NaytiGod(2013), 0);

    form->txtRassttoyanie[5]->setText(QStringLiteral("2013"));
    bool driven = false;
    platform.dialogHandlers.push_back([&driven](QDialog &dialog) {
        auto &editor = dynamic_cast<frmPrazdniki &>(dialog);
        EXPECT_EQ(editor.Label1->text(), QStringLiteral("2013 ГОД ЗМЕИ"));
        editor.picMesyac_MouseDown(67, 67); // 8 January
        editor.picMesyac_MouseUp(67, 67);
        editor.kSave_Click();
        driven = true;
    });
    form->MenuPrazdniki_Click();
    EXPECT_TRUE(driven);
    EXPECT_EQ(platform.dialogsShown, QStringList({"frmPrazdniki"}));

    PrazdnikiStore reread;
    readPrazdniki(app.read(QStringLiteral("Праздники.dat")), reread);
    ASSERT_EQ(reread.KolGodov(), 0);
    EXPECT_EQ(reread.entry(0)->List(1, 8), 1);
}
