#include "shell/UserSettings.h"

#include "shell/AppPaths.h"
#include "support/TempAppFolder.h"

#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

using namespace vexilo;

TEST(UserSettings, TheLastGlyphStyleComesBackAndAColourThatCannotBeReadIsNone)
{
    // A copy that keeps its files beside itself keeps these there too.
    const test::TempAppFolder app;
    const QString file = AppPaths::besideProgram(app.path()).settingsFile();
    EXPECT_EQ(file, app.file(QStringLiteral("vexilo.ini")));
    const UserSettings user(file);
    const GlyphStyle saved{QStringLiteral("DejaVu Serif"), 44, false, QColor(0x12, 0x34, 0x56)};
    user.saveGlyphStyle(saved);
    EXPECT_TRUE(QFile::exists(file));
    const std::optional<GlyphStyle> loaded = user.loadGlyphStyle();
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(loaded->family, saved.family);
    EXPECT_EQ(loaded->pixelSize, 44);
    EXPECT_FALSE(loaded->bold);
    EXPECT_EQ(loaded->color, saved.color);

    // Edited by hand: the window falls back to its usual choice for what cannot be read.
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(QStringLiteral("glyphs/color"), QStringLiteral("#ff00ff\n"));
    settings.setValue(QStringLiteral("glyphs/size"), QStringLiteral("большой"));
    settings.sync();
    const std::optional<GlyphStyle> edited = user.loadGlyphStyle();
    ASSERT_TRUE(edited.has_value());
    EXPECT_FALSE(edited->color.isValid());
    EXPECT_EQ(edited->pixelSize, 0);
    settings.remove(QStringLiteral("glyphs"));
    settings.sync();
    EXPECT_FALSE(user.loadGlyphStyle().has_value());
}

TEST(UserSettings, TheKindOfTheLastGlyphSetComesBackAndAnythingElseIsNone)
{
    const test::TempAppFolder app;
    const UserSettings user(app.file(QStringLiteral("vexilo.ini")));
    EXPECT_FALSE(user.loadGlyphFiles().has_value()) << "nothing before the first set";
    for (const MadeGlyphFiles files : {MadeGlyphFiles::Svg, MadeGlyphFiles::Gif}) {
        user.saveGlyphFiles(files);
        EXPECT_EQ(user.loadGlyphFiles(), files);
    }
    QSettings settings(app.file(QStringLiteral("vexilo.ini")), QSettings::IniFormat);
    for (const char *edited : {"SVG ", "pdf", "1", ""}) {
        settings.setValue(QStringLiteral("glyphs/files"), QString::fromLatin1(edited));
        settings.sync();
        EXPECT_FALSE(user.loadGlyphFiles().has_value()) << edited;
    }
}

TEST(UserSettings, PageChoicesComeBackAndAnOlderFilesOrientationKeepsItsMeaning)
{
    const test::TempAppFolder app;
    const QString file = app.file(QStringLiteral("vexilo.ini"));
    const UserSettings user(file);
    struct Case
    {
        const char *what;
        std::vector<std::pair<const char *, QVariant>> stored;
        PageOrientation orientation;
        int marginMm;
        bool transparent;
    };
    const std::vector<Case> cases = {
        {"nothing kept", {}, PageOrientation::Automatic, 10, false},
        {"older copy, landscape",
         {{"print/landscape", true}},
         PageOrientation::Landscape,
         10,
         false},
        {"older copy, portrait",
         {{"print/landscape", false}},
         PageOrientation::Portrait,
         10,
         false},
        {"the newer key wins",
         {{"print/orientation", "auto"}, {"print/landscape", true}},
         PageOrientation::Automatic,
         10,
         false},
        {"an unknown word falls back to the older key",
         {{"print/orientation", "sideways"}, {"print/landscape", true}},
         PageOrientation::Landscape,
         10,
         false},
        {"margin and background",
         {{"print/marginMm", 25}, {"print/transparent", true}},
         PageOrientation::Automatic,
         25,
         true},
        {"margin out of range", {{"print/marginMm", 101}}, PageOrientation::Automatic, 10, false},
        {"margin negative", {{"print/marginMm", -5}}, PageOrientation::Automatic, 10, false},
        {"margin unreadable",
         {{"print/marginMm", "широкие"}},
         PageOrientation::Automatic,
         10,
         false},
        {"margin with no room on the paper",
         {{"print/paper", "A5"}, {"print/marginMm", 80}},
         PageOrientation::Automatic,
         10,
         false},
        {"the same margin on larger paper",
         {{"print/paper", "A4"}, {"print/marginMm", 80}},
         PageOrientation::Automatic,
         80,
         false},
    };
    for (const Case &c : cases) {
        QFile::remove(file);
        {
            QSettings settings(file, QSettings::IniFormat);
            for (const auto &[key, value] : c.stored)
                settings.setValue(QString::fromLatin1(key), value);
        }
        const OutputOptions loaded = user.loadOutputOptions();
        EXPECT_EQ(loaded.orientation, c.orientation) << c.what;
        EXPECT_EQ(loaded.marginMm, c.marginMm) << c.what;
        EXPECT_EQ(loaded.transparent, c.transparent) << c.what;
    }

    // Saved and read back; an older copy sharing the file still finds its own key.
    for (const PageOrientation orientation :
         {PageOrientation::Automatic, PageOrientation::Portrait, PageOrientation::Landscape}) {
        OutputOptions saved;
        saved.paper = QPageSize::A3;
        saved.orientation = orientation;
        saved.marginMm = 42;
        saved.transparent = orientation != PageOrientation::Portrait;
        user.saveOutputOptions(saved);
        const OutputOptions loaded = user.loadOutputOptions();
        EXPECT_EQ(loaded.paper, QPageSize::A3);
        EXPECT_EQ(loaded.orientation, orientation);
        EXPECT_EQ(loaded.marginMm, 42);
        EXPECT_EQ(loaded.transparent, saved.transparent);
        const QSettings settings(file, QSettings::IniFormat);
        EXPECT_EQ(settings.value(QStringLiteral("print/landscape")).toBool(),
                  orientation == PageOrientation::Landscape);
    }
}
