#include "shell/frmForma.h"
#include "shell/Declare.h"
#include "shell/Main.h"
#include "support/FormaUi.h"

#include "support/MainWindowTest.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace vexilo;
using namespace vexilo::test;

namespace {

class ActiveMainWindowTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        QApplication::setActiveWindow(form.get());
    }
};

} // namespace

TEST_F(ActiveMainWindowTest, StartUpFillsTheTablesAndLeavesEveryCanvasHidden)
{
    EXPECT_EQ(state.paths.programFolder(), app.path());
    EXPECT_EQ(state.Razdelitel, QStringLiteral("/"));
    for (qint32 d = 1; d <= 31; ++d)
        EXPECT_EQ(state.Chisla[static_cast<std::size_t>(d)], d);
    EXPECT_EQ(state.DniMesyaca[1], 31);
    EXPECT_EQ(state.DniMesyaca[4], 30);
    EXPECT_EQ(state.DniMesyaca[2], 0);

    EXPECT_EQ(form->windowTitle(), QStringLiteral("Создатель календарей Vexilo"));
    EXPECT_TRUE(form->isVisible());
    for (const PictureBox *canvas : ui(*form).picRisunok) {
        ASSERT_NE(canvas, nullptr);
        EXPECT_FALSE(canvas->isVisible());
    }
    EXPECT_EQ(form->glyphs(), nullptr); // nothing loaded yet
    EXPECT_FALSE(ui(*form).kSave->isEnabled());
    EXPECT_TRUE(ui(*form).kNew->isEnabled());
    EXPECT_FALSE(ui(*form).VScroll1->isVisible());
    EXPECT_FALSE(ui(*form).HScroll1->isVisible());
    EXPECT_FALSE(ui(*form).PctrUgol->isVisible());
    EXPECT_EQ(ui(*form).selXYMesyac->count(), 4);
    EXPECT_EQ(ui(*form).selMesyac->count(), 12);
    EXPECT_EQ(form->centralWidget()->size(), QSize(784, 542));
    EXPECT_EQ(ui(*form).picControl->geometry(), QRect(0, 152, 784, 390));
}

TEST_F(ActiveMainWindowTest, NumberBoxesTakeOnlyDigitsWhileNavigationStillWorks)
{
    QLineEdit *box = ui(*form).txtRassttoyanie[0];
    box->setFocus();
    box->clear();
    QTest::keyClicks(box, QStringLiteral("2a0-1 "));
    EXPECT_EQ(box->text(), QStringLiteral("201"));
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), QStringLiteral("20"));
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClick(box, Qt::Key_Delete);
    EXPECT_EQ(box->text(), QStringLiteral("0"));
    QTest::keyClick(box, Qt::Key_Return);
    QKeyEvent cyrillic(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("Ж"));
    QApplication::sendEvent(box, &cyrillic);
    EXPECT_EQ(box->text(), QStringLiteral("0"));
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), QString()); // a box can be emptied

    QTest::keyClick(box, Qt::Key_Tab);
    EXPECT_FALSE(box->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_TRUE(box->hasFocus());
}

TEST_F(ActiveMainWindowTest, PeriodRuleShowsTheMonthListOnlyForOneMonth)
{
    // With nothing chosen all three are visible as designed.
    ui(*form).selKolMesyacev->setCurrentIndex(-1);
    EXPECT_TRUE(ui(*form).selMesyac->isVisible());
    EXPECT_TRUE(ui(*form).Label4->isVisible());

    ui(*form).selKolMesyacev->setCurrentIndex(1);
    EXPECT_TRUE(ui(*form).selMesyac->isVisible());
    EXPECT_FALSE(ui(*form).Label4->isVisible());
    EXPECT_FALSE(ui(*form).txtRassttoyanie[3]->isVisible());
    EXPECT_TRUE(ui(*form).selXYMesyac->isVisible());
    EXPECT_TRUE(ui(*form).txtRassttoyanie[2]->isVisible());

    ui(*form).selKolMesyacev->setCurrentIndex(0);
    EXPECT_FALSE(ui(*form).selMesyac->isVisible());
    EXPECT_TRUE(ui(*form).Label4->isVisible());
    EXPECT_TRUE(ui(*form).txtRassttoyanie[3]->isVisible());
}

TEST_F(ActiveMainWindowTest, ResizingKeepsTheViewportUnderTheBandAndTheBarsAtItsEdges)
{
    form->resize(form->width() + 100, form->height() + 60);
    QApplication::processEvents();
    const QSize client = form->centralWidget()->size();
    EXPECT_EQ(ui(*form).picControl->geometry(),
              QRect(0, 152, client.width(), client.height() - 152));
    const QSize inner = ui(*form).picControlInner->size();
    EXPECT_EQ(ui(*form).VScroll1->x(), inner.width() - 17);
    EXPECT_EQ(ui(*form).HScroll1->y(), inner.height() - 17);
    EXPECT_EQ(ui(*form).PctrUgol->geometry(),
              QRect(inner.width() - 17, inner.height() - 17, 17, 17));
}

TEST_F(ActiveMainWindowTest, CtrlOOpensTheFolderWindowAndExitClosesThroughTheUnloadStep)
{
    QTest::keyClick(form.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(platform.dialogsShown, QStringList{QStringLiteral("frmSelPapka")});

    ui(*form).MenuExit->trigger();
    EXPECT_FALSE(form->isVisible());
    // Closing wrote the settings: the unload step ran.
    EXPECT_FALSE(app.read(QStringLiteral("Options.ini")).isEmpty());
}

TEST_F(ActiveMainWindowTest, F10OpensTheMenusAndTheArrowsAndEnterReachEveryCommand)
{
    const struct
    {
        int rights; // menus to the right of the first
        QString command;
        const char *dialog;
    } cases[] = {
        {0, QStringLiteral("Ввод праздников"), "frmPrazdniki"},
        {1, QStringLiteral("О программе"), "frmOprog"},
    };
    for (const auto &c : cases) {
        platform.dialogsShown.clear();
        QTest::keyClick(form.get(), Qt::Key_F10);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr) << "F10 opens no menu";
        EXPECT_EQ(form->menuBar()->activeAction(), form->menuBar()->actions().front());
        for (int i = 0; i < c.rights; ++i)
            QTest::keyClick(menu, Qt::Key_Right);
        menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (int i = 0;
             i < 8 && (!menu->activeAction() || menu->activeAction()->text() != c.command); ++i)
            QTest::keyClick(menu, Qt::Key_Down);
        ASSERT_NE(menu->activeAction(), nullptr);
        ASSERT_EQ(menu->activeAction()->text(), c.command);
        QTest::keyClick(menu, Qt::Key_Return);
        EXPECT_EQ(platform.dialogsShown, QStringList{QString::fromLatin1(c.dialog)});
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    }
}
