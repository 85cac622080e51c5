#include "compose/frmShrift.h"

#include "compose/GlyphSet.h"
#include "compose/frmSelPapka.h"
#include "support/FakePlatform.h"
#include "support/TempAppFolder.h"

#include <QCheckBox>
#include <QFontComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

#include <gtest/gtest.h>

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
    const GlyphSet set = loadGlyphSet(app.file(QStringLiteral("Мой набор/")), 0);
    ASSERT_TRUE(set.images.complete);
    // The chosen colour, not black: the darkest pixel of "8" is dark red.
    QRgb darkest = qRgb(255, 255, 255);
    for (int y = 0; y < set.images.digits[8].height(); ++y)
        for (int x = 0; x < set.images.digits[8].width(); ++x)
            if (qGray(set.images.digits[8].pixel(x, y)) < qGray(darkest))
                darkest = set.images.digits[8].pixel(x, y);
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
    const QImage small = form.preview();
    form.txtRazmer->setValue(40);
    EXPECT_GT(form.preview().width(), small.width());
    EXPECT_GT(form.preview().height(), small.height());
    const QImage regular = form.preview();
    form.chZhirnyi->setChecked(true);
    EXPECT_NE(form.preview(), regular);
}
