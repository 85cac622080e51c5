#include "compose/frmSelPapka.h"
#include "common/ProgramText.h"

#include "compose/GlyphFiles.h"
#include "shell/Declare.h"
#include "shell/Main.h"
#include "shell/frmForma.h"
#include "support/FakePlatform.h"
#include "support/TempAppFolder.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace vexilo;
using namespace vexilo::test;

namespace {

// As the window system delivers it: the second press comes with the double click.
void doubleClick(QWidget *widget, QPoint at)
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, at);
}

class FolderWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *name : {"Плакат", "Классика", "Альбом"})
            app.makeFolder(QString::fromUtf8(name));
    }

    std::unique_ptr<frmSelPapka> open()
    {
        auto dialog = std::make_unique<frmSelPapka>(
            QStringList{app.path()}, papka, proverka, platform, [this] {
                ++loads;
                loadSawHidden = !shown->isVisible();
                eventsBeforeLoad = platform.processEventsCalls;
                papkaAtLoad = papka;
                proverkaAtLoad = proverka;
            });
        shown = dialog.get();
        dialog->show();
        return dialog;
    }

    static QStringList entries(const QListWidget *list)
    {
        QStringList names;
        for (int i = 0; i < list->count(); ++i)
            names.append(list->item(i)->text());
        return names;
    }

    TempAppFolder app;
    FakePlatform platform;
    QString papka;
    qint32 proverka = 0;
    frmSelPapka *shown = nullptr;
    int loads = 0;
    bool loadSawHidden = false;
    int eventsBeforeLoad = 0;
    QString papkaAtLoad;
    qint32 proverkaAtLoad = -100;
};

} // namespace

TEST_F(FolderWindowTest, ListsTheSetsInOrderAndPreselectsOnlyAnExactMatch)
{
    papka = QStringLiteral("классика"); // differs from a listed folder in case only
    auto dialog = open();
    EXPECT_EQ(dialog->objectName(), QStringLiteral("frmSelPapka"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Выбор папки"));
    EXPECT_EQ(dialog->size(), QSize(312, 496));
    EXPECT_EQ(entries(dialog->List1),
              (QStringList{QStringLiteral("Альбом"), QStringLiteral("Классика"),
                           QStringLiteral("Плакат")}));
    EXPECT_TRUE(dialog->List1->selectedItems().isEmpty());
    EXPECT_FALSE(dialog->kOK->isEnabled());
    EXPECT_TRUE(dialog->kNO->isEnabled());
    EXPECT_EQ(dialog->chProverkaRazmerov->text(),
              QStringLiteral("Проверка размеров: будут загружены «0.gif» и «Пн.gif»"));
    EXPECT_FALSE(dialog->chProverkaRazmerov->isChecked());
    // Nothing selected: OK and a double click do nothing.
    dialog->kOK_Click();
    dialog->List1_DblClick();
    EXPECT_EQ(loads, 0);
    EXPECT_TRUE(dialog->isVisible());

    papka = QStringLiteral("Плакат");
    proverka = 1;
    auto exact = open();
    ASSERT_EQ(exact->List1->selectedItems().size(), 1);
    EXPECT_EQ(exact->List1->selectedItems().front()->text(), QStringLiteral("Плакат"));
    EXPECT_TRUE(exact->kOK->isEnabled());
    EXPECT_TRUE(exact->chProverkaRazmerov->isChecked());

    // A folder that no longer exists preselects nothing; any non-zero mode shows as ticked,
    // since that is how it loads.
    papka = QStringLiteral("Удалённая");
    proverka = 2;
    auto gone = open();
    EXPECT_TRUE(gone->List1->selectedItems().isEmpty());
    EXPECT_FALSE(gone->kOK->isEnabled());
    EXPECT_TRUE(gone->chProverkaRazmerov->isChecked());
}

TEST_F(FolderWindowTest, CancelAndTheCloseBoxChangeNothing)
{
    papka = QStringLiteral("Классика");
    auto dialog = open();
    dialog->List1->setCurrentRow(2);
    dialog->chProverkaRazmerov->setChecked(true);
    QTest::mouseClick(dialog->kNO, Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(papka, QStringLiteral("Классика"));
    EXPECT_EQ(proverka, 0);
    EXPECT_EQ(loads, 0);

    auto closed = open();
    closed->List1->setCurrentRow(0);
    closed->chProverkaRazmerov->setChecked(true);
    closed->close();
    EXPECT_EQ(closed->result(), QDialog::Rejected);
    EXPECT_EQ(papka, QStringLiteral("Классика"));
    EXPECT_EQ(proverka, 0);
    EXPECT_EQ(loads, 0);
}

TEST_F(FolderWindowTest, ConfirmingStoresTheChoiceHidesTheWindowAndThenLoads)
{
    auto dialog = open();
    EXPECT_FALSE(dialog->kOK->isEnabled());
    dialog->List1->setCurrentRow(1); // as a click on "Классика"
    EXPECT_TRUE(dialog->kOK->isEnabled());
    dialog->chProverkaRazmerov->setChecked(true);
    QTest::mouseClick(dialog->kOK, Qt::LeftButton);
    EXPECT_EQ(loads, 1);
    EXPECT_TRUE(loadSawHidden);
    EXPECT_GE(eventsBeforeLoad, 1);
    EXPECT_EQ(papkaAtLoad, QStringLiteral("Классика"));
    EXPECT_EQ(proverkaAtLoad, 1);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);

    // Unticking stores 0 whatever was there before.
    proverka = 7;
    auto again = open();
    again->chProverkaRazmerov->setChecked(false);
    again->List1->setCurrentRow(2);
    again->kOK_Click();
    EXPECT_EQ(proverka, 0);
    EXPECT_EQ(papka, QStringLiteral("Плакат"));
}

TEST_F(FolderWindowTest, DoubleClickOnAnEntryConfirmsAndOnEmptySpaceDoesNothing)
{
    auto dialog = open();
    QListWidget *list = dialog->List1;
    list->doItemsLayout(); // the view lays its entries out lazily
    // Below the three entries there is only empty list.
    const QPoint empty(20, list->viewport()->height() - 10);
    ASSERT_FALSE(list->indexAt(empty).isValid());
    doubleClick(list->viewport(), empty);
    EXPECT_EQ(loads, 0);
    EXPECT_TRUE(dialog->isVisible());

    const QRect entry = list->visualItemRect(list->item(2));
    doubleClick(list->viewport(), entry.center());
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(papka, QStringLiteral("Плакат"));
    EXPECT_FALSE(dialog->isVisible());
}

TEST(FolderWindowFromMainWindow, ChoosingASetLoadsItAndDraws)
{
    TempAppFolder app;
    writeGlyphSet(app, QStringLiteral("Набор"), 5, {4, 6}, {9, 6});
    app.makeFolder(QStringLiteral("Пустая"));
    Declare state;
    FakePlatform platform;
    auto form = Main(state, platform, app.path());
    QSignalSpy draws(form.get(), &frmForma::drawCommandIssued);

    QFont dialogFont;
    platform.dialogHandlers.push_back([&](QDialog &dialog) {
        auto &window = dynamic_cast<frmSelPapka &>(dialog);
        dialogFont = window.font();
        window.List1->setCurrentRow(0);
        window.kOK_Click();
    });
    form->MenuSelPapka_Click();
    ASSERT_FALSE(platform.dialogsShown.isEmpty());
    EXPECT_EQ(platform.dialogsShown.front(), QStringLiteral("frmSelPapka"));
    EXPECT_EQ(dialogFont, designFont());
    EXPECT_EQ(state.PapkaKartinok, QStringLiteral("Набор"));
    EXPECT_EQ(state.KartinkiZagruzheny, -1);
    // A drawn sheet adds its size to the caption.
    EXPECT_TRUE(
        form->windowTitle().startsWith(QStringLiteral("Создатель календарей Vexilo - [Набор]")));
    EXPECT_EQ(draws.count(), 1);

    // Cancelling afterwards keeps the set; choosing the empty folder fails and draws nothing.
    form->MenuSelPapka_Click();
    EXPECT_EQ(state.PapkaKartinok, QStringLiteral("Набор"));
    EXPECT_EQ(state.KartinkiZagruzheny, -1);
    platform.dialogHandlers.push_back([](QDialog &dialog) {
        auto &window = dynamic_cast<frmSelPapka &>(dialog);
        window.List1->setCurrentRow(1);
        window.kOK_Click();
    });
    const std::size_t messagesBefore = platform.messages.size();
    form->MenuSelPapka_Click();
    EXPECT_EQ(state.PapkaKartinok, QStringLiteral("Пустая"));
    EXPECT_EQ(state.KartinkiZagruzheny, 0);
    ASSERT_EQ(platform.messages.size(), messagesBefore + 1);
    EXPECT_EQ(platform.messages.back().text,
              QStringLiteral("Произошла ошибка при загрузке картинок."));
    EXPECT_EQ(draws.count(), 1);
}
