#include "shell/frmOprog.h"

#include "shell/Canvas.h"
#include "shell/Declare.h"
#include "shell/Main.h"
#include "shell/frmForma.h"
#include "support/FakePlatform.h"
#include "support/TempAppFolder.h"

#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStringDecoder>
#include <QTest>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace vexilo;
using namespace vexilo::test;

namespace {

class AboutTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form = Main(state, platform, app.path());
        QApplication::setActiveWindow(form.get());
    }

    // Opens "О программе" and hands the dialog to `check` while it is up.
    void withAbout(const std::function<void(frmOprog &)> &check)
    {
        bool ran = false;
        platform.dialogHandlers.push_back([&](QDialog &dialog) {
            auto *about = qobject_cast<frmOprog *>(&dialog);
            ASSERT_NE(about, nullptr);
            check(*about);
            ran = true;
        });
        form->HelpOprog_Click();
        EXPECT_TRUE(ran);
    }

    TempAppFolder app;
    Declare state;
    FakePlatform platform;
    std::unique_ptr<frmForma> form;
};

QRgb pixel(const frmOprog &about, int x, int y)
{
    return about.Picture1->image().pixel(x, y);
}

} // namespace

TEST_F(AboutTest, TheWindowIsLaidOutAsDesigned)
{
    withAbout([](frmOprog &about) {
        EXPECT_EQ(about.windowTitle(), QStringLiteral("О программе"));
        EXPECT_EQ(about.size(), QSize(356, 209));
        EXPECT_EQ(about.minimumSize(), about.maximumSize());
        EXPECT_FALSE(about.windowFlags() & Qt::WindowMinimizeButtonHint);
        EXPECT_FALSE(about.windowFlags() & Qt::WindowMaximizeButtonHint);
        EXPECT_EQ(about.palette().color(QPalette::Window), QColor(224, 224, 224));
        EXPECT_EQ(about.font(), designFont());

        EXPECT_EQ(about.Image1->geometry(), QRect(16, 8, 71, 126));
        EXPECT_EQ(about.Image1->pixmap().size(), QSize(71, 126));
        EXPECT_EQ(about.Label2[5]->text(), QStringLiteral("Сайт:"));
        EXPECT_EQ(about.Label2[6]->text(), QStringLiteral("Версия: v2.1"));
        EXPECT_EQ(about.Label2[7]->text(), QStringLiteral("Дата: 7 августа 2012 год -"));
        EXPECT_EQ(about.Label2[0]->text(), QStringLiteral("28 августа 2015 год"));
        EXPECT_EQ(about.Label2[0]->geometry(), QRect(156, 128, 170, 20));
        EXPECT_EQ(about.Label2[3]->geometry(), QRect(104, 8, 220, 20));
        EXPECT_EQ(about.Label2[4]->geometry(), QRect(104, 32, 242, 20));
        EXPECT_FALSE(about.Label2[3]->text().isEmpty());
        EXPECT_TRUE(about.Label2[4]->text().contains(QLatin1Char('@')));

        EXPECT_EQ(about.Label1->geometry(), QRect(152, 56, 183, 20));
        EXPECT_EQ(about.Label1Tag, QStringLiteral("https://vexilo.example.org/"));
        EXPECT_EQ(about.Label1->palette().color(QPalette::WindowText), QColor(0, 0, 192));
        EXPECT_TRUE(about.Label1->font().bold());
        EXPECT_TRUE(about.Label1->font().underline());
        EXPECT_EQ(about.Label1->cursor().shape(), Qt::PointingHandCursor);

        EXPECT_EQ(about.Line1->geometry(), QRect(8, 152, 337, 1));
        EXPECT_EQ(about.Line2->geometry(), QRect(8, 153, 337, 1));
        EXPECT_NE(about.Line1->palette().color(QPalette::Window),
                  about.Line2->palette().color(QPalette::Window));

        EXPECT_EQ(about.OK->text(), QStringLiteral("OK"));
        EXPECT_EQ(about.OK->geometry(), QRect(256, 164, 89, 33));
        EXPECT_TRUE(about.OK->isDefault());

        // Every text must be readable whole in the window's font.
        for (const QLabel *label :
             {about.Label2[0], about.Label2[3], about.Label2[4], about.Label2[5], about.Label2[6],
              about.Label2[7], about.Label1}) {
            EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()), label->width())
                << label->text().toStdString();
        }
    });
    EXPECT_EQ(platform.dialogsShown, QStringList{QStringLiteral("frmOprog")});
}

TEST_F(AboutTest, TheFlagHasAWhiteABlueAndARedBandAcrossTheWholeWidth)
{
    withAbout([](frmOprog &about) {
        EXPECT_EQ(about.Picture1->geometry(), QRect(8, 160, 80, 45));
        ASSERT_EQ(about.Picture1->image().size(), QSize(80, 45));
        for (const int x : {0, 40, 79}) {
            EXPECT_EQ(pixel(about, x, 0), qRgb(255, 255, 255));
            EXPECT_EQ(pixel(about, x, 14), qRgb(255, 255, 255));
            EXPECT_EQ(pixel(about, x, 15), qRgb(0, 0, 255));
            EXPECT_EQ(pixel(about, x, 30), qRgb(0, 0, 255));
            EXPECT_EQ(pixel(about, x, 31), qRgb(255, 0, 0));
            EXPECT_EQ(pixel(about, x, 44), qRgb(255, 0, 0));
        }
    });
}

TEST_F(AboutTest, TheSiteLinkWritesAPageBesideTheProgramAndOpensIt)
{
    int busyWhileWriting = 0;
    platform.onProcessEvents = [&] { busyWhileWriting = platform.busyDepth; };
    withAbout([&](frmOprog &about) {
        QTest::mouseClick(about.Label1, Qt::LeftButton);
        QTest::mouseClick(about.Label1, Qt::LeftButton);
    });
    EXPECT_EQ(platform.opened, QStringList({app.file(QStringLiteral("0.html")),
                                            app.file(QStringLiteral("0.html"))}));
    EXPECT_EQ(app.read(QStringLiteral("0.html")),
              QByteArray("<html><head><meta http-equiv='refresh' content='0; "
                         "url=https://vexilo.example.org/'><meta http-equiv='Content-Type' "
                         "content='text/html; charset=windows-1251'><title>WWW</title></head>"
                         "<body></body></html>\r\n"));
    EXPECT_EQ(busyWhileWriting, 1);
    EXPECT_EQ(platform.busyDepth, 0);
}

TEST_F(AboutTest, OkAndEnterCloseTheWindow)
{
    withAbout([](frmOprog &about) {
        QTest::mouseClick(about.OK, Qt::LeftButton);
        EXPECT_EQ(about.result(), QDialog::Accepted);
    });
    withAbout([](frmOprog &about) {
        about.show();
        QApplication::setActiveWindow(&about);
        about.setResult(QDialog::Rejected);
        QTest::keyClick(&about, Qt::Key_Return);
        EXPECT_EQ(about.result(), QDialog::Accepted);
        EXPECT_FALSE(about.isVisible());
    });
    EXPECT_EQ(platform.dialogsShown.size(), 2);
}

TEST_F(AboutTest, HelpMenuAndF1OpenTheHelpPageBesideTheProgram)
{
    form->HelpCall_Click();
    QTest::keyClick(form.get(), Qt::Key_F1);
    const QString page = app.path() + QStringLiteral("Справка.html");
    EXPECT_EQ(platform.opened, QStringList({page, page}));
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(AboutTest, EveryWindowCarriesTheProgramIcon)
{
    const QIcon icon = QApplication::windowIcon();
    ASSERT_FALSE(icon.isNull());
    for (const int size : {16, 32, 48, 256})
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
    EXPECT_EQ(form->windowIcon().cacheKey(), icon.cacheKey());
    withAbout([&](frmOprog &about) { EXPECT_EQ(about.windowIcon().cacheKey(), icon.cacheKey()); });
    // The picture is the program's own and not a blank square.
    const QImage picture = icon.pixmap(32, 32).toImage();
    EXPECT_NE(picture.pixel(16, 4), picture.pixel(16, 20));
}

TEST(HelpPage, TheCopyBesideTheProgramIsTidyUtf8InRussian)
{
    QFile copy(QStringLiteral(VEXILO_APP_DIR "/Справка.html"));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    const QByteArray bytes = copy.readAll();
    QFile source(QStringLiteral(VEXILO_RESOURCES_DIR "/Справка.html"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    EXPECT_EQ(bytes, source.readAll()); // refreshed when the page changes

    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    ASSERT_FALSE(utf8.hasError());
    EXPECT_TRUE(text.contains(QStringLiteral("<meta charset=\"utf-8\"")));
    EXPECT_TRUE(text.contains(QStringLiteral("<html lang=\"ru\">")));

    // Well formed: every element closed, so no browser has to guess.
    QXmlStreamReader xml(bytes);
    QStringList headings;
    bool picture = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"h2")
            headings << xml.readElementText(QXmlStreamReader::IncludeChildElements);
        if (xml.isStartElement() && xml.name() == u"svg")
            picture = true;
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line "
                                 << xml.lineNumber();
    EXPECT_TRUE(picture);
    for (const QString &label :
         {QStringLiteral("Даты X"), QStringLiteral("Даты Y"), QStringLiteral("Месяцы X"),
          QStringLiteral("Месяцы Y"), QStringLiteral("Числа X")})
        EXPECT_GE(text.count(label), 2) << label.toStdString(); // in the picture and the table
    for (const QString &topic :
         {QStringLiteral("Наборы картинок"), QStringLiteral("Как сделать свой набор"),
          QStringLiteral("Расстояния"), QStringLiteral("Праздники"),
          QStringLiteral("Сохранение рисунков"), QStringLiteral("Проверка размеров")})
        EXPECT_TRUE(headings.contains(topic)) << topic.toStdString();
}
