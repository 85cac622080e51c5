#include "shell/OptionsForm.h"

#include "common/SafeFile.h"
#include "shell/Declare.h"
#include "shell/Main.h"
#include "shell/frmForma.h"
#include "support/FakePlatform.h"
#include "support/FormaUi.h"
#include "support/SaveFaults.h"
#include "support/TempAppFolder.h"

#include <QComboBox>
#include <QDate>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>

using namespace vexilo;
using namespace vexilo::test;

namespace {

const QString kOptions = QStringLiteral("Options.ini");

// One run of the program in a given application folder.
struct Session
{
    explicit Session(const TempAppFolder &app) { form = Main(state, platform, app.path()); }

    QLineEdit *box(int i) const { return ui(*form).txtRassttoyanie[static_cast<std::size_t>(i)]; }

    Declare state;
    FakePlatform platform;
    std::unique_ptr<frmForma> form;
};

QByteArray fileWith(const QByteArray &line1, const QByteArray &line9, const QByteArray &line10)
{
    return line1 + "\r\n 10\r\n 5\r\n 20\r\n 20\r\n 3\r\n 2013\r\n\r\n" + line9 + "\r\n" + line10 +
           "\r\n 0\r\n\r\n";
}

} // namespace

TEST(OptionsForm, WithoutAFileTheWindowStartsWithTheDefaults)
{
    TempAppFolder app;
    Session run(app);
    EXPECT_EQ(ui(*run.form).selXYMesyac->currentText(), QStringLiteral("4 месяца в ряд"));
    EXPECT_EQ(ui(*run.form).selKolMesyacev->currentText(), QStringLiteral("Весь год"));
    EXPECT_EQ(ui(*run.form).selMesyac->currentText(), QStringLiteral("Январь"));
    EXPECT_FALSE(ui(*run.form).selMesyac->isVisible());
    EXPECT_EQ(run.box(5)->text(), QString::number(QDate::currentDate().year()));
    QStringList spacings;
    for (int i = 0; i < 5; ++i)
        spacings << run.box(i)->text();
    EXPECT_EQ(spacings.join(u','), QStringLiteral("10,5,20,20,3"));
    EXPECT_EQ(run.state.KartinkiZagruzheny, 0);
    EXPECT_TRUE(run.platform.messages.empty());
}

TEST(OptionsForm, StoredListChoicesComeBackAndOutOfRangeOnesFallBack)
{
    TempAppFolder app;
    app.write(kOptions, fileWith(" 3", " 1", " 4"));
    {
        Session run(app);
        EXPECT_EQ(ui(*run.form).selXYMesyac->currentText(), QStringLiteral("6 месяца в ряд"));
        EXPECT_EQ(ui(*run.form).selKolMesyacev->currentText(), QStringLiteral("1 месяц"));
        EXPECT_EQ(ui(*run.form).selMesyac->currentText(), QStringLiteral("Май"));
        EXPECT_TRUE(ui(*run.form).selMesyac->isVisible());
        EXPECT_FALSE(ui(*run.form).Label4->isVisible());
        EXPECT_FALSE(run.box(3)->isVisible());
    }
    for (const QByteArray &bad : {QByteArray(" 7"), QByteArray("-1")}) {
        app.write(kOptions, fileWith(bad, " 2", " 12"));
        Session run(app);
        EXPECT_EQ(ui(*run.form).selXYMesyac->currentText(), QStringLiteral("4 месяца в ряд"));
        EXPECT_EQ(ui(*run.form).selKolMesyacev->currentText(), QStringLiteral("Весь год"));
        EXPECT_EQ(ui(*run.form).selMesyac->currentText(), QStringLiteral("Январь"));
        EXPECT_TRUE(ui(*run.form).Label4->isVisible());
    }
}

TEST(OptionsForm, ClosingWritesTheElevenLinesAndTheNextStartRestoresThem)
{
    TempAppFolder app;
    {
        Session run(app);
        ui(*run.form).selXYMesyac->setCurrentIndex(0);
        run.box(0)->clear();                                // emptied
        run.box(1)->setText(QStringLiteral("пять"));        // pasted past the key filter
        run.box(4)->setText(QStringLiteral("99999999999")); // beyond 32 bits
        run.box(5)->setText(QStringLiteral("0099"));
        ui(*run.form).selKolMesyacev->setCurrentIndex(1);
        ui(*run.form).selMesyac->setCurrentIndex(11);
        run.state.PapkaKartinok = QStringLiteral("Мой набор, 2");
        run.state.ProverkaRazmerov = 1;
        run.form->close();
        EXPECT_FALSE(run.form->isVisible());
        EXPECT_TRUE(run.platform.messages.empty());
    }
    // "Мой набор, 2" in Windows-1251, spelled out byte by byte.
    EXPECT_EQ(app.read(kOptions),
              QByteArray(" 0\r\n 0\r\n 0\r\n 20\r\n 20\r\n 2147483647\r\n 99\r\n"
                         "\xCC\xEE\xE9 \xED\xE0\xE1\xEE\xF0, 2\r\n 1\r\n 11\r\n 1\r\n\r\n"));

    Session again(app);
    EXPECT_EQ(ui(*again.form).selXYMesyac->currentIndex(), 0);
    EXPECT_EQ(again.box(0)->text(), QStringLiteral("0"));
    EXPECT_EQ(again.box(4)->text(), QStringLiteral("2147483647"));
    EXPECT_EQ(again.box(5)->text(), QStringLiteral("99"));
    EXPECT_EQ(ui(*again.form).selMesyac->currentText(), QStringLiteral("Декабрь"));
    EXPECT_EQ(again.state.PapkaKartinok, QStringLiteral("Мой набор, 2"));
    EXPECT_EQ(again.state.ProverkaRazmerov, 1);
}

// Two windows over one folder: the one closed last asks before writing over the other's file.
TEST(OptionsForm, SettingsSavedByAnotherCopyAreOverwrittenOnlyWhenTheUserSaysSo)
{
    for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        TempAppFolder app;
        Session first(app);
        Session second(app);
        first.box(5)->setText(QStringLiteral("2031"));
        first.form->close();
        EXPECT_TRUE(first.platform.messages.empty());
        const QByteArray firsts = app.read(kOptions);

        second.box(5)->setText(QStringLiteral("2032"));
        second.platform.answers = {answer};
        second.form->close();
        ASSERT_EQ(second.platform.messages.size(), 1u);
        EXPECT_EQ(second.platform.messages[0].buttons, MsgButtons::YesNo);
        EXPECT_EQ(app.read(kOptions).contains(" 2032\r\n"), answer == MsgAnswer::Yes);
        if (answer == MsgAnswer::No) {
            EXPECT_EQ(app.read(kOptions), firsts);
        }
    }
}

TEST(OptionsForm, AFailedSaveKeepsTheOldFileShowsBothMessagesAndStillCloses)
{
    const QByteArray old = fileWith(" 3", " 0", " 0");
    const struct
    {
        SafeWriteHook fault;
        const char *first;
        const char *ending;
    } cases[] = {
        {failOpening(EACCES), "Отказано в доступе.", "» защищён от записи."},
        {failAt(SafeWriteStage::Write, ENOSPC), "На диске не осталось свободного места.",
         "» сохранить не возможно."},
    };
    for (const auto &c : cases) {
        TempAppFolder app;
        app.write(kOptions, old);
        Session run(app);
        ui(*run.form).selXYMesyac->setCurrentIndex(0);
        run.platform.saveHook = c.fault;
        run.form->close();
        EXPECT_FALSE(run.form->isVisible());
        EXPECT_EQ(app.read(kOptions), old);
        ASSERT_EQ(run.platform.messages.size(), 2u);
        EXPECT_EQ(run.platform.messages[0].text, QString::fromUtf8(c.first));
        EXPECT_EQ(run.platform.messages[0].caption, QString());
        EXPECT_EQ(run.platform.messages[0].icon, MsgIcon::None);
        EXPECT_EQ(run.platform.messages[1].text,
                  QStringLiteral("Файл «") + app.file(kOptions) + QString::fromUtf8(c.ending));
        EXPECT_EQ(run.platform.messages[1].caption, QString());
        EXPECT_EQ(run.platform.messages[1].icon, MsgIcon::Critical);
    }

    // Without the seam: a folder where the file should be.
    TempAppFolder app;
    app.makeFolder(kOptions);
    Session run(app);
    run.form->close();
    ASSERT_EQ(run.platform.messages.size(), 2u);
    EXPECT_EQ(run.platform.messages[1].text, QStringLiteral("Файл «") + app.file(kOptions) +
                                                 QStringLiteral("» сохранить не возможно."));
}

// Start, choose a set, draw, change spacings and layout, close, start again.
TEST(OptionsForm, TheWholeLoopComesBackAsItWasWithTheSetLoaded)
{
    TempAppFolder app;
    const QString set = QStringLiteral("Мой набор, 2");
    app.makeFolder(set);
    // PNG content under ".gif" names: the loader goes by the content.
    for (const char *name : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "Пн", "Вт", "Ср",
                             "Чт", "Пт", "Сб", "Вс"}) {
        QImage glyph(QString::fromUtf8(name).size() == 1 ? QSize(8, 12) : QSize(16, 12),
                     QImage::Format_RGB32);
        glyph.fill(Qt::darkBlue);
        ASSERT_TRUE(glyph.save(app.file(set + u'/' + QString::fromUtf8(name) + ".gif"), "PNG"));
    }
    {
        Session run(app);
        frmForma &form = *run.form;
        run.box(5)->clear();
        QTest::keyClicks(run.box(5), QStringLiteral("2013"));
        run.state.Prazdniki.append();
        run.state.Prazdniki.entry(run.state.Prazdniki.KolGodov())->God = 2013;

        run.platform.dialogHandlers.push_back([&](QDialog &dialog) {
            auto *list = dialog.findChild<QListWidget *>();
            ASSERT_NE(list, nullptr);
            list->setCurrentItem(list->findItems(set, Qt::MatchExactly).value(0));
            for (QPushButton *button : dialog.findChildren<QPushButton *>())
                if (button->text() == QStringLiteral("OK"))
                    QTest::mouseClick(button, Qt::LeftButton);
        });
        form.MenuSelPapka_Click();
        ASSERT_EQ(run.state.KartinkiZagruzheny, -1);
        EXPECT_TRUE(ui(form).picRisunok[0]->isVisible()); // drawn at once

        run.box(0)->selectAll();
        QTest::keyClicks(run.box(0), QStringLiteral("14"));
        ui(form).selXYMesyac->setCurrentIndex(3);
        ui(form).selKolMesyacev->setCurrentIndex(1);
        ui(form).selMesyac->setCurrentIndex(4);
        QTest::mouseClick(ui(form).kNew, Qt::LeftButton);
        EXPECT_TRUE(form.windowTitle().endsWith(QStringLiteral(" - Май")));
        form.close();
        EXPECT_TRUE(run.platform.messages.empty());
    }

    Session again(app);
    frmForma &form = *again.form;
    EXPECT_EQ(again.box(0)->text(), QStringLiteral("14"));
    EXPECT_EQ(again.box(5)->text(), QStringLiteral("2013"));
    EXPECT_EQ(ui(form).selXYMesyac->currentText(), QStringLiteral("6 месяца в ряд"));
    EXPECT_EQ(ui(form).selKolMesyacev->currentText(), QStringLiteral("1 месяц"));
    EXPECT_EQ(ui(form).selMesyac->currentText(), QStringLiteral("Май"));
    EXPECT_EQ(again.state.KartinkiZagruzheny, -1);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Создатель календарей Vexilo - [Мой набор, 2]"));
    EXPECT_FALSE(ui(form).picRisunok[0]->isVisible()); // loaded, not drawn
    EXPECT_TRUE(again.platform.messages.empty());
}
