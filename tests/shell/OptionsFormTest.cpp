#include "shell/OptionsForm.h"

#include "common/SafeFile.h"
#include "shell/Canvas.h"
#include "shell/Declare.h"
#include "shell/Main.h"
#include "shell/frmForma.h"
#include "support/FakePlatform.h"
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

// "Мой набор, 2" in Windows-1251, spelled out byte by byte.
const QByteArray kFolder1251("\xCC\xEE\xE9 \xED\xE0\xE1\xEE\xF0, 2");

struct FaultGuard
{
    FaultGuard(SafeWriteFault fault, int err) { setSafeWriteFaultForTesting(fault, err); }
    ~FaultGuard() { setSafeWriteFaultForTesting(SafeWriteFault::None, 0); }
};

// One run of the program in a given application folder.
struct Session
{
    explicit Session(const TempAppFolder &app) { form = Main(state, platform, app.path()); }

    QString box(int i) const { return form->txtRassttoyanie[static_cast<std::size_t>(i)]->text(); }
    void setBox(int i, const QString &text)
    {
        form->txtRassttoyanie[static_cast<std::size_t>(i)]->setText(text);
    }

    Declare state;
    FakePlatform platform;
    std::unique_ptr<frmForma> form;
};

QByteArray fileWith(const QByteArray &line1, const QByteArray &line9, const QByteArray &line10)
{
    return line1 + "\r\n 10\r\n 5\r\n 20\r\n 20\r\n 3\r\n 2013\r\n\r\n" + line9 + "\r\n" + line10 +
           "\r\n 0\r\n\r\n";
}

// Glyphs as PNG files under ".gif" names: the loader goes by the content.
void writeGlyphFolder(const TempAppFolder &app, const QString &folder)
{
    app.makeFolder(folder);
    QStringList names;
    for (int d = 0; d <= 9; ++d)
        names << QString::number(d);
    names << QStringLiteral("Пн") << QStringLiteral("Вт") << QStringLiteral("Ср")
          << QStringLiteral("Чт") << QStringLiteral("Пт") << QStringLiteral("Сб")
          << QStringLiteral("Вс");
    for (qsizetype i = 0; i < names.size(); ++i) {
        QImage glyph(i < 10 ? QSize(8, 12) : QSize(16, 12), QImage::Format_RGB32);
        glyph.fill(QColor(20, 20, static_cast<int>(10 * i)));
        ASSERT_TRUE(glyph.save(app.file(folder + QLatin1Char('/') + names[i] + ".gif"), "PNG"));
    }
}

} // namespace

TEST(OptionsForm, WithoutAFileTheWindowStartsWithTheDefaults)
{
    TempAppFolder app;
    Session run(app);
    frmForma &form = *run.form;
    EXPECT_EQ(form.selXYMesyac->currentText(), QStringLiteral("4 месяца в ряд"));
    EXPECT_EQ(form.selKolMesyacev->currentText(), QStringLiteral("Весь год"));
    EXPECT_EQ(form.selMesyac->currentText(), QStringLiteral("Январь"));
    EXPECT_FALSE(form.selMesyac->isVisible());
    EXPECT_TRUE(form.Label4->isVisible());
    EXPECT_EQ(run.box(5), QString::number(QDate::currentDate().year()));
    EXPECT_EQ(run.box(0), QStringLiteral("10"));
    EXPECT_EQ(run.box(1), QStringLiteral("5"));
    EXPECT_EQ(run.box(2), QStringLiteral("20"));
    EXPECT_EQ(run.box(3), QStringLiteral("20"));
    EXPECT_EQ(run.box(4), QStringLiteral("3"));
    EXPECT_TRUE(run.state.PapkaKartinok.isEmpty());
    EXPECT_EQ(run.state.ProverkaRazmerov, 0);
    EXPECT_EQ(run.state.KartinkiZagruzheny, 0);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Создатель календарей Vexilo"));
    EXPECT_TRUE(run.platform.messages.empty());

    // A folder in the file's place is no file either.
    TempAppFolder blocked;
    blocked.makeFolder(kOptions);
    Session second(blocked);
    EXPECT_EQ(second.form->selXYMesyac->currentIndex(), 2);
    EXPECT_EQ(second.box(5), QString::number(QDate::currentDate().year()));
    EXPECT_TRUE(second.platform.messages.empty());
}

TEST(OptionsForm, StoredListChoicesComeBackAndOutOfRangeOnesFallBack)
{
    TempAppFolder app;
    app.write(kOptions, fileWith(" 3", " 1", " 4"));
    {
        Session run(app);
        EXPECT_EQ(run.form->selXYMesyac->currentText(), QStringLiteral("6 месяца в ряд"));
        EXPECT_EQ(run.form->selKolMesyacev->currentText(), QStringLiteral("1 месяц"));
        EXPECT_EQ(run.form->selMesyac->currentText(), QStringLiteral("Май"));
        EXPECT_TRUE(run.form->selMesyac->isVisible());
        EXPECT_FALSE(run.form->Label4->isVisible());
        EXPECT_FALSE(run.form->txtRassttoyanie[3]->isVisible());
    }
    for (const QByteArray &bad : {QByteArray(" 7"), QByteArray("-1")}) {
        app.write(kOptions, fileWith(bad, " 2", " 12"));
        Session run(app);
        EXPECT_EQ(run.form->selXYMesyac->currentText(), QStringLiteral("4 месяца в ряд"));
        EXPECT_EQ(run.form->selKolMesyacev->currentText(), QStringLiteral("Весь год"));
        EXPECT_EQ(run.form->selMesyac->currentText(), QStringLiteral("Январь"));
        EXPECT_FALSE(run.form->selMesyac->isVisible());
        EXPECT_TRUE(run.form->Label4->isVisible());
    }
}

TEST(OptionsForm, AFileThatEndsAfterLineFourRepeatsItsLastNumber)
{
    TempAppFolder app;
    app.write(kOptions, " 0\r\n 11\r\n 6\r\n 25\r\n");
    Session run(app);
    EXPECT_EQ(run.form->selXYMesyac->currentIndex(), 0);
    EXPECT_EQ(run.box(0), QStringLiteral("11"));
    EXPECT_EQ(run.box(1), QStringLiteral("6"));
    EXPECT_EQ(run.box(2), QStringLiteral("25"));
    EXPECT_EQ(run.box(3), QStringLiteral("25"));
    EXPECT_EQ(run.box(4), QStringLiteral("25"));
    EXPECT_EQ(run.box(5), QStringLiteral("25"));
    EXPECT_TRUE(run.state.PapkaKartinok.isEmpty());
    EXPECT_EQ(run.state.ProverkaRazmerov, 0);
    EXPECT_EQ(run.state.KartinkiZagruzheny, 0);
    EXPECT_TRUE(run.platform.messages.empty());
}

TEST(OptionsForm, ClosingWritesTheElevenLinesAndTheNextStartRestoresThem)
{
    TempAppFolder app;
    {
        Session run(app);
        run.form->selXYMesyac->setCurrentIndex(0);
        run.setBox(0, QStringLiteral("7"));
        run.setBox(5, QStringLiteral("0099"));
        run.form->selKolMesyacev->setCurrentIndex(1);
        run.form->selMesyac->setCurrentIndex(11);
        run.state.PapkaKartinok = QStringLiteral("Мой набор, 2");
        run.state.ProverkaRazmerov = 1;
        run.form->close();
        EXPECT_FALSE(run.form->isVisible());
        EXPECT_TRUE(run.platform.messages.empty());
    }
    EXPECT_EQ(app.read(kOptions), QByteArray(" 0\r\n 7\r\n 5\r\n 20\r\n 20\r\n 3\r\n 99\r\n") +
                                      kFolder1251 + "\r\n 1\r\n 11\r\n 1\r\n\r\n");

    Session again(app);
    EXPECT_EQ(again.form->selXYMesyac->currentIndex(), 0);
    EXPECT_EQ(again.box(0), QStringLiteral("7"));
    EXPECT_EQ(again.box(5), QStringLiteral("99"));
    EXPECT_EQ(again.form->selKolMesyacev->currentIndex(), 1);
    EXPECT_EQ(again.form->selMesyac->currentText(), QStringLiteral("Декабрь"));
    EXPECT_EQ(again.state.PapkaKartinok, QStringLiteral("Мой набор, 2"));
    EXPECT_EQ(again.state.ProverkaRazmerov, 1);
}

TEST(OptionsForm, BoxesThatHoldNoUsableNumberStillLetTheWindowClose)
{
    TempAppFolder app;
    {
        Session run(app);
        run.setBox(0, QString());                      // emptied
        run.setBox(1, QStringLiteral("пять"));         // pasted text
        run.setBox(2, QStringLiteral("12 мм"));        // pasted, number first
        run.setBox(3, QStringLiteral("-4"));           // pasted sign
        run.setBox(4, QStringLiteral("99999999999"));  // beyond 32 bits
        run.setBox(5, QStringLiteral("-99999999999")); // beyond 32 bits, negative
        run.form->close();
        EXPECT_FALSE(run.form->isVisible());
        EXPECT_TRUE(run.platform.messages.empty());
    }
    EXPECT_TRUE(app.read(kOptions).startsWith(
        " 2\r\n 0\r\n 0\r\n 12\r\n-4\r\n 2147483647\r\n-2147483648\r\n\r\n"));
    Session again(app);
    EXPECT_EQ(again.box(0), QStringLiteral("0"));
    EXPECT_EQ(again.box(1), QStringLiteral("0"));
    EXPECT_EQ(again.box(2), QStringLiteral("12"));
    EXPECT_EQ(again.box(3), QStringLiteral("-4"));
    EXPECT_EQ(again.box(4), QStringLiteral("2147483647"));
    EXPECT_EQ(again.box(5), QStringLiteral("-2147483648"));
}

TEST(OptionsForm, AFailedSaveKeepsTheOldFileShowsBothMessagesAndStillCloses)
{
    const QByteArray old = fileWith(" 3", " 0", " 0");
    struct Case
    {
        SafeWriteFault fault;
        int err;
        QString description;
        QString ending;
    };
    const Case cases[] = {
        {SafeWriteFault::Open, EACCES, QStringLiteral("Отказано в доступе."),
         QStringLiteral("» защищён от записи.")},
        {SafeWriteFault::Open, EROFS,
         QStringLiteral("Файловая система доступна только для чтения."),
         QStringLiteral("» защищён от записи.")},
        {SafeWriteFault::Write, ENOSPC, QStringLiteral("На диске не осталось свободного места."),
         QStringLiteral("» сохранить не возможно.")},
        {SafeWriteFault::Rename, EIO, QStringLiteral("Ошибка ввода-вывода."),
         QStringLiteral("» сохранить не возможно.")},
    };
    for (const Case &c : cases) {
        TempAppFolder app;
        app.write(kOptions, old);
        Session run(app);
        run.form->selXYMesyac->setCurrentIndex(0);
        {
            FaultGuard guard(c.fault, c.err);
            run.form->close();
        }
        EXPECT_FALSE(run.form->isVisible());
        EXPECT_EQ(app.read(kOptions), old);
        ASSERT_EQ(run.platform.messages.size(), 2u);
        EXPECT_EQ(run.platform.messages[0].text, c.description);
        EXPECT_EQ(run.platform.messages[0].caption, QString());
        EXPECT_EQ(run.platform.messages[0].icon, MsgIcon::None);
        EXPECT_EQ(run.platform.messages[1].text,
                  QStringLiteral("Файл «") + app.file(kOptions) + c.ending);
        EXPECT_EQ(run.platform.messages[1].caption, QString());
        EXPECT_EQ(run.platform.messages[1].icon, MsgIcon::Critical);
        EXPECT_EQ(run.platform.messages[1].buttons, MsgButtons::Ok);
    }
}

TEST(OptionsForm, AFolderInTheFilesPlaceCannotBeSavedOver)
{
    TempAppFolder app;
    app.makeFolder(kOptions);
    app.write(kOptions + QStringLiteral("/keep.txt"), "mine");
    Session run(app);
    run.form->close();
    EXPECT_FALSE(run.form->isVisible());
    EXPECT_EQ(app.read(kOptions + QStringLiteral("/keep.txt")), QByteArray("mine"));
    ASSERT_EQ(run.platform.messages.size(), 2u);
    EXPECT_FALSE(run.platform.messages[0].text.isEmpty());
    EXPECT_EQ(run.platform.messages[1].text, QStringLiteral("Файл «") + app.file(kOptions) +
                                                 QStringLiteral("» сохранить не возможно."));
}

// Start, choose a set, draw, change spacings and layout, close, start again.
TEST(OptionsForm, TheWholeLoopComesBackAsItWasWithTheSetLoaded)
{
    TempAppFolder app;
    const QString set = QStringLiteral("Мой набор, 2");
    writeGlyphFolder(app, set);
    {
        Session run(app);
        frmForma &form = *run.form;
        QLineEdit *year = form.txtRassttoyanie[5];
        year->clear();
        QTest::keyClicks(year, QStringLiteral("2013"));
        run.state.Prazdniki.append();
        run.state.Prazdniki.entry(run.state.Prazdniki.KolGodov())->God = 2013;

        run.platform.dialogHandlers.push_back([&](QDialog &dialog) {
            auto *list = dialog.findChild<QListWidget *>();
            ASSERT_NE(list, nullptr);
            const QList<QListWidgetItem *> found = list->findItems(set, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1);
            list->setCurrentItem(found.front());
            for (QPushButton *button : dialog.findChildren<QPushButton *>())
                if (button->text() == QStringLiteral("OK"))
                    QTest::mouseClick(button, Qt::LeftButton);
        });
        form.MenuSelPapka_Click();
        ASSERT_EQ(run.state.KartinkiZagruzheny, -1);
        EXPECT_TRUE(form.picRisunok[0]->isVisible()); // drawn at once

        QLineEdit *datyX = form.txtRassttoyanie[0];
        datyX->selectAll();
        QTest::keyClicks(datyX, QStringLiteral("14"));
        form.selXYMesyac->setCurrentIndex(3);
        form.selKolMesyacev->setCurrentIndex(1);
        form.selMesyac->setCurrentIndex(4);
        QTest::mouseClick(form.kNew, Qt::LeftButton);
        EXPECT_TRUE(form.windowTitle().endsWith(QStringLiteral(" - Май")));
        form.close();
        EXPECT_TRUE(run.platform.messages.empty());
    }

    Session again(app);
    frmForma &form = *again.form;
    EXPECT_EQ(again.box(0), QStringLiteral("14"));
    EXPECT_EQ(again.box(1), QStringLiteral("5"));
    EXPECT_EQ(again.box(5), QStringLiteral("2013"));
    EXPECT_EQ(form.selXYMesyac->currentText(), QStringLiteral("6 месяца в ряд"));
    EXPECT_EQ(form.selKolMesyacev->currentText(), QStringLiteral("1 месяц"));
    EXPECT_EQ(form.selMesyac->currentText(), QStringLiteral("Май"));
    EXPECT_TRUE(form.selMesyac->isVisible());
    EXPECT_FALSE(form.Label4->isVisible());
    EXPECT_EQ(again.state.PapkaKartinok, set);
    EXPECT_EQ(again.state.KartinkiZagruzheny, -1);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Создатель календарей Vexilo - [Мой набор, 2]"));
    EXPECT_FALSE(form.picRisunok[0]->isVisible()); // loaded, not drawn
    EXPECT_TRUE(again.platform.messages.empty());
}
