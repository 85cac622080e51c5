#include "compose/maker/frmShrift.h"

#include "common/ProgramText.h"
#include "compose/frmSelPapka.h"
#include "compose/glyphs/GlyphSet.h"
#include "support/FakePlatform.h"
#include "support/SaveFaults.h"
#include "support/TempAppFolder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>

using namespace vexilo;
using namespace vexilo::test;

namespace {

class FontSetTest : public ::testing::Test
{
protected:
    // The folder window with "Создать из шрифта…" pressed; `fill` sets up the dialog.
    std::unique_ptr<frmSelPapka> createThroughFolderWindow(std::function<void(frmShrift &)> fill)
    {
        auto window = std::make_unique<frmSelPapka>(QStringList{app.path()}, papka, proverka,
                                                    platform, [] {});
        platform.dialogHandlers.push_back([fill](QDialog &dialog) {
            auto &form = dynamic_cast<frmShrift &>(dialog);
            fill(form);
            form.kOK->click();
            if (form.result() != QDialog::Accepted)
                form.reject();
        });
        window->kShrift->click();
        return window;
    }

    static void chooseFont(frmShrift &form, const QString &family)
    {
        form.selShrift->setCurrentFont(QFont(family));
    }

    // Lets events run until the preview has caught up with the controls.
    static void settle(frmShrift &form)
    {
        for (int i = 0; i < 500 && form.previewPending(); ++i)
            QTest::qWait(10);
    }

    TempAppFolder app;
    FakePlatform platform;
    QString papka = QStringLiteral("Старый");
    qint32 proverka = 0;
};

} // namespace

TEST_F(FontSetTest, TheNewSetIsWrittenListedAndSelectedAtOnce)
{
    app.makeFolder(QStringLiteral("Старый"));
    const auto window = createThroughFolderWindow([this](frmShrift &form) {
        chooseFont(form, QStringLiteral("DejaVu Serif"));
        form.txtRazmer->setValue(30);
        platform.colorAnswers.push_back(QColor(0x80, 0, 0));
        form.kCvet->click();
        form.txtImya->setText(QStringLiteral("  Мой набор  "));
    });
    EXPECT_EQ(platform.dialogsShown, QStringList{QStringLiteral("frmShrift")});
    ASSERT_EQ(window->List1->count(), 2);
    ASSERT_EQ(window->List1->selectedItems().size(), 1);
    EXPECT_EQ(window->List1->selectedItems().front()->text(), QStringLiteral("Мой набор"));
    EXPECT_TRUE(window->kOK->isEnabled());
    const GlyphLoad set = loadGlyphSet(app.file(QStringLiteral("Мой набор/")), 0);
    ASSERT_TRUE(set.complete);
    // The chosen colour, not black: the darkest pixel of "8" is dark red.
    QRgb darkest = qRgb(255, 255, 255);
    for (int y = 0; y < set.digits[8].height(); ++y)
        for (int x = 0; x < set.digits[8].width(); ++x)
            if (qGray(set.digits[8].pixel(x, y)) < qGray(darkest))
                darkest = set.digits[8].pixel(x, y);
    EXPECT_EQ(darkest, qRgb(0x80, 0, 0));
    // The choice of the folder window itself is untouched until its own OK.
    EXPECT_EQ(papka, QStringLiteral("Старый"));
}

TEST_F(FontSetTest, ABadNameOrARefusedReplacementWritesNothing)
{
    app.makeFolder(QStringLiteral("Есть"));
    app.write(QStringLiteral("Есть/0.gif"), "old");
    for (const QString &name :
         {QStringLiteral("a/b"), QStringLiteral(".."), QStringLiteral("Есть")}) {
        platform.answers.push_back(MsgAnswer::No); // do not replace "Есть"
        const auto window = createThroughFolderWindow([&](frmShrift &form) {
            chooseFont(form, QStringLiteral("DejaVu Sans"));
            form.txtImya->setText(name);
        });
        EXPECT_EQ(window->List1->count(), 1) << name.toStdString();
        EXPECT_TRUE(window->List1->selectedItems().isEmpty()) << name.toStdString();
        platform.answers.clear();
    }
    EXPECT_EQ(app.read(QStringLiteral("Есть/0.gif")), QByteArray("old"));
    ASSERT_EQ(platform.messages.size(), 3u);
    EXPECT_EQ(platform.messages[2].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(platform.messages[2].text.contains(QStringLiteral("«Есть»")));
}

TEST_F(FontSetTest, ThePreviewFollowsSizeAndBold)
{
    frmShrift form(app.path(), platform);
    chooseFont(form, QStringLiteral("DejaVu Sans"));
    form.chZhirnyi->setChecked(false);
    form.txtRazmer->setValue(20);
    settle(form);
    const QImage small = form.preview();
    form.txtRazmer->setValue(40);
    settle(form);
    EXPECT_GT(form.preview().width(), small.width());
    EXPECT_GT(form.preview().height(), small.height());
    const QImage regular = form.preview();
    form.chZhirnyi->setChecked(true);
    settle(form);
    EXPECT_NE(form.preview(), regular);
}

TEST_F(FontSetTest, ThePreviewIsDrawnOnceTheSizeSettlesNotAtEveryStep)
{
    frmShrift form(app.path(), platform);
    chooseFont(form, QStringLiteral("DejaVu Sans"));
    settle(form);
    const QImage first = form.preview();
    for (int size = 30; size <= 120; size += 10)
        form.txtRazmer->setValue(size);
    EXPECT_TRUE(form.previewPending());
    EXPECT_EQ(form.preview(), first) << "drawn while the size was still changing";
    settle(form);
    EXPECT_FALSE(form.previewPending());
    EXPECT_GT(form.preview().height(), first.height());
}

TEST_F(FontSetTest, HiddenNamesAndPathsAreRefusedWithAMessage)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral(".Мой набор"), QStringLiteral("точки")},
        {QStringLiteral("..скрытый"), QStringLiteral("точки")},
        {QStringLiteral("/tmp/набор"), QStringLiteral("«/»")},
        {QStringLiteral("a\\b"), QStringLiteral("«/»")},
    };
    for (const auto &c : cases) {
        const QString &name = c.first;
        const QString &said = c.second;
        SCOPED_TRACE(name.toStdString());
        platform.messages.clear();
        const auto window = createThroughFolderWindow([&](frmShrift &form) {
            chooseFont(form, QStringLiteral("DejaVu Sans"));
            form.txtImya->setText(name);
        });
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_TRUE(platform.messages[0].text.contains(said));
        EXPECT_EQ(window->List1->count(), 0);
        EXPECT_TRUE(QDir(app.path())
                        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                        .isEmpty());
    }
}

TEST_F(FontSetTest, ASizeOutOfTheRangeIsSaidAndNothingIsWrittenWithAnother)
{
    struct Case
    {
        const char *typed;
        bool pressEnter; // else "Создать" is clicked with the text still in the box
    };
    for (const Case &c :
         {Case{"2000", true}, Case{"1", true}, Case{"2000", false}, Case{"1", false}}) {
        SCOPED_TRACE(c.typed);
        platform.messages.clear();
        frmShrift form(app.path(), platform);
        chooseFont(form, QStringLiteral("DejaVu Sans"));
        form.txtRazmer->setValue(28);
        form.txtRazmer->setFocus();
        form.txtRazmer->selectAll();
        QTest::keyClicks(form.txtRazmer, QString::fromLatin1(c.typed));
        if (c.pressEnter) {
            QTest::keyClick(form.txtRazmer, Qt::Key_Return);
            EXPECT_TRUE(form.lblRazmer->text().contains(QString::fromLatin1(c.typed)));
            EXPECT_TRUE(form.lblRazmer->text().contains(QStringLiteral("от 6 до 300")));
            EXPECT_TRUE(platform.messages.empty());
        } else {
            form.kOK->click();
            ASSERT_EQ(platform.messages.size(), 1u);
            EXPECT_TRUE(platform.messages[0].text.contains(QStringLiteral("от 6 до 300")));
        }
        EXPECT_EQ(form.txtRazmer->value(), 28);
        EXPECT_EQ(form.txtRazmer->text(), QStringLiteral("28 пикс."));
        EXPECT_TRUE(form.createdName().isEmpty());
        EXPECT_FALSE(QFileInfo::exists(app.file(QStringLiteral("Мой набор"))));
    }
}

TEST_F(FontSetTest, TheStyleOfTheLastSetIsOfferedNextTimeInTheWindowsFont)
{
    std::optional<GlyphStyle> kept =
        GlyphStyle{QStringLiteral("dejavu serif"), 44, false, QColor(0x12, 0x34, 0x56)};
    GlyphStyleMemory memory{[&] { return kept; }, [&](const GlyphStyle &style) { kept = style; }};
    {
        frmShrift form(app.path(), platform, memory);
        EXPECT_EQ(form.font().family(), designFont().family());
        EXPECT_EQ(form.font().pointSizeF(), designFont().pointSizeF());
        EXPECT_EQ(form.font().bold(), designFont().bold());
        EXPECT_EQ(form.style().family, QStringLiteral("DejaVu Serif"));
        EXPECT_EQ(form.style().pixelSize, 44);
        EXPECT_FALSE(form.style().bold);
        EXPECT_EQ(form.color(), QColor(0x12, 0x34, 0x56));
        EXPECT_FALSE(form.chPropisnye->isChecked());
        form.txtRazmer->setValue(50);
        form.chZhirnyi->setChecked(true);
        form.chPropisnye->setChecked(true);
        form.txtImya->setText(QStringLiteral("Новый"));
        form.kOK->click();
        ASSERT_EQ(form.createdName(), QStringLiteral("Новый"));
    }
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->family, QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(kept->pixelSize, 50);
    EXPECT_TRUE(kept->bold);
    EXPECT_EQ(kept->color, QColor(0x12, 0x34, 0x56));
    EXPECT_TRUE(kept->capitalTitles);
    // The titles are written in the capitals asked for.
    const GlyphLoad made = loadGlyphSet(app.file(QStringLiteral("Новый/")), 0);
    ASSERT_TRUE(made.complete);
    EXPECT_TRUE(made.set->missingTitle.isEmpty());
    EXPECT_GT(made.set->monthTitles[0].width(),
              makeGlyphs({QStringLiteral("DejaVu Serif"), 50, true, QColor(0x12, 0x34, 0x56)})
                  .titles[0]
                  .width());
    EXPECT_TRUE(frmShrift(app.path(), platform, memory).chPropisnye->isChecked());

    // What no longer fits is passed over for the usual choice.
    kept = GlyphStyle{QStringLiteral("Нет такого шрифта"), 2000, true, QColor()};
    frmShrift form(app.path(), platform, memory);
    EXPECT_EQ(form.style().pixelSize, 28);
    EXPECT_EQ(form.color(), QColor(Qt::black));
}

TEST_F(FontSetTest, TheKindOfFilesChosenIsWrittenAndOfferedNextTime)
{
    std::optional<MadeGlyphFiles> kept;
    GlyphStyleMemory memory{
        {}, {}, [&] { return kept; }, [&](MadeGlyphFiles files) { kept = files; }};
    {
        frmShrift form(app.path(), platform, memory);
        EXPECT_EQ(form.files(), MadeGlyphFiles::Gif) << "pictures until told otherwise";
        form.selVid->setCurrentIndex(
            form.selVid->findText(QStringLiteral("SVG"), Qt::MatchStartsWith));
        EXPECT_EQ(form.files(), MadeGlyphFiles::Svg);
        form.txtImya->setText(QStringLiteral("Контуры"));
        form.kOK->click();
        ASSERT_EQ(form.createdName(), QStringLiteral("Контуры"));
    }
    EXPECT_EQ(kept, MadeGlyphFiles::Svg);
    QStringList written = QDir(app.file(QStringLiteral("Контуры"))).entryList(QDir::Files);
    QStringList expected = madeGlyphFileNames(MadeGlyphFiles::Svg);
    written.sort();
    expected.sort();
    EXPECT_EQ(written, expected);

    frmShrift again(app.path(), platform, memory);
    EXPECT_EQ(again.files(), MadeGlyphFiles::Svg);
    EXPECT_TRUE(again.selVid->currentText().startsWith(QStringLiteral("SVG")));
}

TEST_F(FontSetTest, AFullDiskKeepsTheOldSetAndSaysWhy)
{
    const MadeGlyphs old = makeGlyphs({QStringLiteral("DejaVu Sans"), 16, false, Qt::black});
    ASSERT_TRUE(writeMadeGlyphs(old, app.file(QStringLiteral("Есть")), false).ok);
    const QByteArray zero = app.read(QStringLiteral("Есть/0.gif"));
    const QByteArray sunday = app.read(QStringLiteral("Есть/Вс.gif"));
    platform.saveHook = failAt(SafeWriteStage::Write, ENOSPC, 10);
    const auto window = createThroughFolderWindow([&](frmShrift &form) {
        chooseFont(form, QStringLiteral("DejaVu Serif"));
        form.txtImya->setText(QStringLiteral("Есть"));
    });
    ASSERT_EQ(platform.messages.size(), 2u); // replace? and why it failed
    EXPECT_TRUE(platform.messages[1].text.contains(QStringLiteral("свободного места")));
    EXPECT_EQ(app.read(QStringLiteral("Есть/0.gif")), zero);
    EXPECT_EQ(app.read(QStringLiteral("Есть/Вс.gif")), sunday);
}

TEST_F(FontSetTest, ASetOfTheOtherKindIsRefusedBeforeAnyQuestion)
{
    const struct
    {
        const char *there; // a file of the set in the folder
        const char *kind;  // the kind chosen in the dialog
    } cases[] = {{"0.svg", "GIF"}, {"0.gif", "SVG"}};
    for (const auto &c : cases) {
        const QString name = QStringLiteral("Есть-") + QString::fromLatin1(c.kind);
        app.makeFolder(name);
        app.write(name + u'/' + QString::fromLatin1(c.there), "old");
        platform.messages.clear();
        const auto window = createThroughFolderWindow([&](frmShrift &form) {
            chooseFont(form, QStringLiteral("DejaVu Sans"));
            form.selVid->setCurrentIndex(
                form.selVid->findText(QString::fromLatin1(c.kind), Qt::MatchStartsWith));
            form.txtImya->setText(name);
        });
        ASSERT_EQ(platform.messages.size(), 1u) << c.kind;
        EXPECT_EQ(platform.messages[0].buttons, MsgButtons::Ok) << c.kind;
        EXPECT_TRUE(platform.messages[0].text.contains(QStringLiteral("набор другого вида")))
            << platform.messages[0].text.toStdString();
        EXPECT_EQ(QDir(app.file(name)).entryList(QDir::Files),
                  QStringList{QString::fromLatin1(c.there)});
    }
}
