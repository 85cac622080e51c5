#include "shell/AppPaths.h"
#include "common/Text1251.h"
#include "compose/glyphs/GlyphSet.h"
#include "shell/Declare.h"
#include "shell/Main.h"
#include "shell/QtTranslations.h"
#include "shell/frmForma.h"

#include "support/FakePlatform.h"
#include "support/FormaUi.h"
#include "support/TempAppFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace vexilo;
using namespace vexilo::test;

namespace {

// A glyph set that loads: every file a small GIF.
void writeSet(const QString &folder)
{
    QDir().mkpath(folder);
    QImage glyph(6, 9, QImage::Format_RGB32);
    glyph.fill(Qt::darkBlue);
    QStringList names;
    for (int d = 0; d < 10; ++d)
        names.append(digitFileName(d));
    for (const QString &name : weekdayFileNames())
        names.append(name);
    for (const QString &name : names)
        ASSERT_TRUE(glyph.save(folder + name, "PNG"));
}

// <prefix>/bin, <prefix>/share/vexilo with two bundled sets and the help page, and a user
// folder with a set of the same name as a bundled one, a set of its own and a stray folder.
struct InstalledCopy
{
    InstalledCopy()
    {
        app.makeFolder(QStringLiteral("bin"));
        writeSet(share() + QStringLiteral("Классика/"));
        writeSet(share() + QStringLiteral("Плакат/"));
        app.write(QStringLiteral("share/vexilo/Справка.html"), "<html></html>");
        writeSet(user() + QStringLiteral("Плакат/"));
        writeSet(user() + QStringLiteral("Альбом/"));
        app.makeFolder(QStringLiteral("user/Альбом-черновик"));
    }
    QString bin() const { return app.file(QStringLiteral("bin/")); }
    QString share() const { return app.file(QStringLiteral("share/vexilo/")); }
    QString user() const { return app.file(QStringLiteral("user/")); }
    AppPaths paths() const { return AppPaths::installed(bin(), share(), user()); }

    TempAppFolder app;
};

} // namespace

TEST(AppPaths, AnInstalledCopyFindsTheUsersFilesFirstAndTheBundledOnesAfter)
{
    const InstalledCopy copy;
    const AppPaths paths = locateAppPaths(copy.bin());
    EXPECT_FALSE(paths.isBesideProgram());
    EXPECT_EQ(paths.userFolder(),
              QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/");
    EXPECT_EQ(paths.helpPage(), copy.share() + QStringLiteral("Справка.html"));

    const AppPaths mine = copy.paths();
    EXPECT_EQ(mine.optionsFile(), copy.user() + QStringLiteral("Options.ini"));
    EXPECT_EQ(mine.prazdnikiFile(), copy.user() + QStringLiteral("Праздники.dat"));
    EXPECT_EQ(mine.redirectFolder(), copy.user());
    EXPECT_EQ(mine.glyphSetNames(),
              (QStringList{QStringLiteral("Альбом"), QStringLiteral("Альбом-черновик"),
                           QStringLiteral("Плакат"), QStringLiteral("Классика")}));
    EXPECT_EQ(mine.glyphFolder(QStringLiteral("Плакат")), copy.user() + QStringLiteral("Плакат/"));
    EXPECT_EQ(mine.glyphFolder(QStringLiteral("Классика")),
              copy.share() + QStringLiteral("Классика/"));
    EXPECT_EQ(mine.firstCompleteGlyphFolder(), copy.user() + QStringLiteral("Альбом/"));

    // A folder of the program's own that can be written keeps everything beside it.
    const TempAppFolder portable;
    const AppPaths beside = locateAppPaths(portable.path());
    EXPECT_TRUE(beside.isBesideProgram());
    EXPECT_EQ(beside.optionsFile(), portable.file(QStringLiteral("Options.ini")));
    EXPECT_EQ(beside.glyphRoots(), QStringList{portable.path()});
}

TEST(AppPaths, AnInstalledWindowSavesItsSettingsInTheUsersFolderAndOpensTheSharedHelp)
{
    const InstalledCopy copy;
    copy.app.write(QStringLiteral("user/Options.ini"),
                   toWindows1251(QStringLiteral(" 1\r\n 10\r\n 5\r\n 20\r\n 20\r\n 3\r\n 2031\r\n"
                                                "Плакат\r\n 0\r\n 0\r\n 0\r\n\r\n")));
    Declare state;
    FakePlatform platform;
    auto form = Main(state, platform, copy.paths());
    EXPECT_EQ(state.KartinkiZagruzheny, -1);
    EXPECT_EQ(ui(*form).txtRassttoyanie[5]->text(), QStringLiteral("2031"));

    form->HelpCall_Click();
    EXPECT_EQ(platform.opened, QStringList{copy.share() + QStringLiteral("Справка.html")});

    ui(*form).txtRassttoyanie[5]->setText(QStringLiteral("2032"));
    form->close();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(copy.app.read(QStringLiteral("user/Options.ini"))
                    .contains(toWindows1251(QStringLiteral(" 2032\r\nПлакат\r\n"))));
    EXPECT_FALSE(QFile::exists(copy.bin() + QStringLiteral("Options.ini")));
}

TEST(AppPaths, AUserFolderThatCannotBeMadeIsSaidOnceAtStartUp)
{
    const InstalledCopy copy;
    copy.app.write(QStringLiteral("a file"), "in the way");
    const QString user = copy.app.file(QStringLiteral("a file/Vexilo/"));
    Declare state;
    FakePlatform platform;
    auto form = Main(state, platform, AppPaths::installed(copy.bin(), copy.share(), user));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Warning);
    EXPECT_TRUE(platform.messages[0].text.contains(QDir::toNativeSeparators(user).chopped(1)))
        << platform.messages[0].text.toStdString();
    EXPECT_TRUE(platform.messages[0].text.contains(QStringLiteral("не будут сохранены")));
}

TEST(AppPaths, APathGivenRelativeToTheCurrentFolderStaysWhereItWasAfterTheFolderChanges)
{
    const TempAppFolder base;
    base.makeFolder(QStringLiteral("app"));
    const TempAppFolder elsewhere;
    const QString before = QDir::currentPath();
    QDir::setCurrent(base.path());
    Declare state;
    FakePlatform platform;
    auto form = Main(state, platform, QStringLiteral("app"));
    QDir::setCurrent(elsewhere.path());
    form->HelpCall_Click();
    QDir::setCurrent(before);
    EXPECT_EQ(platform.opened, QStringList{base.file(QStringLiteral("app/Справка.html"))});
}

TEST(QtTranslations, StandardDialogsSpeakRussianWhileTheTranslatorLives)
{
    auto russian = installQtRussian();
    ASSERT_NE(russian, nullptr);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"),
              QStringLiteral("Сохранить как"));
    EXPECT_EQ(QCoreApplication::translate("QLineEdit", "&Copy"), QStringLiteral("&Копировать"));
    russian.reset();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}
