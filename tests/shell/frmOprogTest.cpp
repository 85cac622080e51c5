#include "shell/frmOprog.h"
#include "common/Version.h"

#include "platform/PictureBox.h"
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

    // Opens "О программе" and hands the window to `check` while it is up.
    void withAbout(const std::function<void(frmOprog &)> &check)
    {
        platform.dialogHandlers.push_back(
            [&](QDialog &dialog) { check(dynamic_cast<frmOprog &>(dialog)); });
        form->HelpOprog_Click();
    }

    TempAppFolder app;
    Declare state;
    FakePlatform platform;
    std::unique_ptr<frmForma> form;
};

} // namespace

TEST_F(AboutTest, TheWindowShowsItsTextsWholeAndTheFlagInThreeBands)
{
    withAbout([](frmOprog &about) {
        EXPECT_EQ(about.windowTitle(), QStringLiteral("О программе"));
        EXPECT_EQ(about.size(), QSize(356, 209));
        EXPECT_EQ(about.minimumSize(), about.maximumSize());
        EXPECT_EQ(about.Image1->pixmap().size(), QSize(71, 126));
        EXPECT_EQ(about.Label1Tag, QStringLiteral("https://vexilo.example.org/"));
        EXPECT_EQ(about.Label1->palette().color(QPalette::WindowText), QColor(0, 0, 192));
        EXPECT_TRUE(about.Label1->font().underline());
        EXPECT_EQ(about.Label1->cursor().shape(), Qt::PointingHandCursor);
        EXPECT_TRUE(about.OK->isDefault());
        EXPECT_EQ(about.Label2[6]->text(), QStringLiteral("Версия: v") + projectVersion());
        for (const QLabel *label :
             {about.Label2[0], about.Label2[3], about.Label2[4], about.Label2[5], about.Label2[6],
              about.Label2[7], about.Label1}) {
            EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()), label->width())
                << label->text().toStdString();
        }

        const QImage &flag = about.Picture1->image();
        ASSERT_EQ(flag.size(), QSize(80, 45));
        for (const int x : {0, 79}) {
            EXPECT_EQ(flag.pixel(x, 14), qRgb(255, 255, 255));
            EXPECT_EQ(flag.pixel(x, 15), qRgb(0, 0, 255));
            EXPECT_EQ(flag.pixel(x, 30), qRgb(0, 0, 255));
            EXPECT_EQ(flag.pixel(x, 31), qRgb(255, 0, 0));
            EXPECT_EQ(flag.pixel(x, 44), qRgb(255, 0, 0));
        }
    });
    EXPECT_EQ(platform.dialogsShown, QStringList{QStringLiteral("frmOprog")});
}

TEST_F(AboutTest, TheSiteLinkOpensAPageBesideTheProgramAndEnterCloses)
{
    int busyWhileWriting = 0;
    platform.onProcessEvents = [&] { busyWhileWriting = platform.busyDepth; };
    withAbout([&](frmOprog &about) {
        QTest::mouseClick(about.Label1, Qt::LeftButton);
        about.show();
        QApplication::setActiveWindow(&about);
        QTest::keyClick(&about, Qt::Key_Return);
        EXPECT_EQ(about.result(), QDialog::Accepted);
    });
    EXPECT_EQ(platform.opened, QStringList{app.file(QStringLiteral("0.html"))});
    EXPECT_TRUE(app.read(QStringLiteral("0.html")).contains("url=https://vexilo.example.org/'"));
    EXPECT_EQ(busyWhileWriting, 1);
    EXPECT_EQ(platform.busyDepth, 0);
}

TEST_F(AboutTest, F1OpensTheHelpPageAndEveryWindowCarriesTheIcon)
{
    QTest::keyClick(form.get(), Qt::Key_F1);
    EXPECT_EQ(platform.opened, QStringList{app.path() + QStringLiteral("Справка.html")});

    const QIcon icon = QApplication::windowIcon();
    EXPECT_TRUE(icon.availableSizes().contains(QSize(256, 256)));
    EXPECT_EQ(form->windowIcon().cacheKey(), icon.cacheKey());
    withAbout([&](frmOprog &about) { EXPECT_EQ(about.windowIcon().cacheKey(), icon.cacheKey()); });
    const QImage picture = icon.pixmap(32, 32).toImage();
    EXPECT_NE(picture.pixel(16, 4), picture.pixel(16, 20)); // not a blank square
}

TEST(HelpPage, TheCopyBesideTheProgramIsWellFormedUtf8)
{
    QFile copy(QStringLiteral(VEXILO_APP_DIR "/Справка.html"));
    QFile source(QStringLiteral(VEXILO_RESOURCES_DIR "/Справка.html"));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray bytes = copy.readAll();
    // Refreshed when the page changes, with the version of the build filled in.
    const QByteArray expected =
        source.readAll().replace("@PROJECT_VERSION@", projectVersion().toUtf8());
    EXPECT_EQ(bytes, expected);
    EXPECT_TRUE(bytes.contains("Версия " + projectVersion().toUtf8() + "."));

    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    EXPECT_FALSE(utf8.hasError());
    EXPECT_TRUE(text.contains(QStringLiteral("<meta charset=\"utf-8\"")));
    // Every element closed, so no browser has to guess; the spacing picture is inline.
    QXmlStreamReader xml(bytes);
    bool picture = false;
    while (xml.readNext() != QXmlStreamReader::Invalid && !xml.atEnd())
        picture = picture || (xml.isStartElement() && xml.name() == u"svg");
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " line " << xml.lineNumber();
    EXPECT_TRUE(picture);
}
