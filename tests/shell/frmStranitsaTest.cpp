// The page dialog offscreen: its fields for PNG and PDF, the printed size as the choices
// change, and the choices remembered for the next save.
#include "shell/frmStranitsa.h"

#include "shell/SaveSheetM.h"
#include "shell/UserSettings.h"
#include "support/FakePlatform.h"
#include "support/TempAppFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include <gtest/gtest.h>

using namespace vexilo;
using namespace vexilo::test;

namespace {

// 27.43 × 19.30 cm at 100 dpi.
const QSize kSheet(1080, 760);

template <typename T> T *field(const QDialog &dialog, const char *name)
{
    T *widget = dialog.findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

QString sizeText(const QDialog &dialog)
{
    return field<QLabel>(dialog, "lblRazmer")->text();
}

bool okEnabled(const QDialog &dialog)
{
    return dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->isEnabled();
}

} // namespace

TEST(frmStranitsa, EachFormatShowsItsFieldsWithTheRememberedChoices)
{
    struct Case
    {
        OutputFormat format;
        std::vector<const char *> shown;
        std::vector<const char *> hidden;
        QString size;           // a PNG has no page to be shrunk to
        bool vectorSet = false; // prints at 96 dpi whatever pixels it is given
    };
    const std::vector<Case> cases = {
        {OutputFormat::Pdf,
         {"selBumaga", "selOrientatsiya", "txtPolya", "txtDpi", "chProzrachnyy", "lblRazmer"},
         {"chTselikom"},
         QStringLiteral("При печати: 27,4 × 19,3 см — больше страницы, уменьшен до 25,6 × 18,0 "
                        "см")},
        {OutputFormat::Png,
         {"txtDpi", "chTselikom", "chProzrachnyy", "lblRazmer"},
         {"selBumaga", "selOrientatsiya", "txtPolya"},
         QStringLiteral("При печати: 27,4 × 19,3 см")},
        {OutputFormat::Svg,
         {"chProzrachnyy", "lblRazmer"},
         {"txtDpi", "chTselikom", "selBumaga", "selOrientatsiya", "txtPolya"},
         QStringLiteral("При печати: 28,6 × 20,1 см")},
        {OutputFormat::Pdf,
         {"selBumaga", "txtDpi", "chProzrachnyy"},
         {"chTselikom"},
         QStringLiteral("При печати: 28,6 × 20,1 см — больше страницы, уменьшен до 25,6 × 18,0 "
                        "см"),
         true},
    };
    for (const Case &c : cases) {
        OutputOptions options;
        options.format = c.format;
        options.dpi = 100;
        options.marginMm = 15;
        options.transparent = true;
        const frmStranitsa dialog(options, kSheet, nullptr, c.vectorSet);
        for (const char *name : c.shown)
            EXPECT_FALSE(field<QWidget>(dialog, name)->isHidden()) << name;
        for (const char *name : c.hidden)
            EXPECT_TRUE(field<QWidget>(dialog, name)->isHidden()) << name;
        EXPECT_EQ(field<QSpinBox>(dialog, "txtPolya")->value(), 15);
        EXPECT_EQ(field<QSpinBox>(dialog, "txtPolya")->maximum(), 100);
        EXPECT_TRUE(field<QCheckBox>(dialog, "chProzrachnyy")->isChecked());
        EXPECT_EQ(field<QCheckBox>(dialog, "chProzrachnyy")->text(),
                  QStringLiteral("Прозрачный фон"));
        const QComboBox *orientation = field<QComboBox>(dialog, "selOrientatsiya");
        ASSERT_EQ(orientation->count(), 3);
        EXPECT_EQ(orientation->itemText(0), QStringLiteral("Автоматически"));
        EXPECT_EQ(orientation->currentText(), QStringLiteral("Автоматически"));
        EXPECT_TRUE(dialog.options().transparent);
        EXPECT_EQ(sizeText(dialog).toStdString(), c.size.toStdString());
    }
}

TEST(frmStranitsa, ThePrintedSizeFollowsTheChoicesAndMarginsWithNoRoomCannotBeTaken)
{
    OutputOptions options;
    options.format = OutputFormat::Pdf;
    options.dpi = 100;
    options.orientation = PageOrientation::Landscape;
    options.paper = QPageSize::A3;
    frmStranitsa dialog(options, kSheet);
    auto *paper = field<QComboBox>(dialog, "selBumaga");
    auto *orientation = field<QComboBox>(dialog, "selOrientatsiya");
    auto *margin = field<QSpinBox>(dialog, "txtPolya");
    auto *dpi = field<QSpinBox>(dialog, "txtDpi");
    const QString fits = QStringLiteral("При печати: 27,4 × 19,3 см");
    struct Step
    {
        std::function<void()> change;
        QString text;
        bool ok;
    };
    const std::vector<Step> steps = {
        {[] {}, fits, true},
        {[&] { paper->setCurrentText(QStringLiteral("A4")); },
         fits + QStringLiteral(" — больше страницы, уменьшен до 27,0 × 19,0 см"), true},
        {[&] { orientation->setCurrentText(QStringLiteral("Книжная")); },
         fits + QStringLiteral(" — больше страницы, уменьшен до 19,0 × 13,4 см"), true},
        {[&] { dpi->setValue(200); }, QStringLiteral("При печати: 13,7 × 9,7 см"), true},
        {[&] { margin->setValue(40); },
         QStringLiteral("При печати: 13,7 × 9,7 см — больше страницы, уменьшен до 13,0 × 9,1 см"),
         true},
        {[&] { paper->setCurrentText(QStringLiteral("A5")); },
         QStringLiteral("При печати: 13,7 × 9,7 см — больше страницы, уменьшен до 6,8 × 4,8 см"),
         true},
        {[&] { margin->setValue(75); },
         QStringLiteral("Поля 75 мм не оставляют места на бумаге A5 (148 × 210 мм)."), false},
        {[&] { paper->setCurrentText(QStringLiteral("A3")); },
         QStringLiteral("При печати: 13,7 × 9,7 см"), true},
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        steps[i].change();
        EXPECT_EQ(sizeText(dialog).toStdString(), steps[i].text.toStdString()) << i;
        EXPECT_EQ(okEnabled(dialog), steps[i].ok) << i;
    }
    const OutputOptions chosen = dialog.options();
    EXPECT_EQ(chosen.paper, QPageSize::A3);
    EXPECT_EQ(chosen.orientation, PageOrientation::Portrait);
    EXPECT_EQ(chosen.marginMm, 75);
    EXPECT_EQ(chosen.dpi, 200);
}

TEST(frmStranitsa, TheChoicesOfOneSaveAreTheNextSavesDefaults)
{
    const TempAppFolder app;
    const UserSettings settings(app.file(QStringLiteral("vexilo.ini")));
    FakePlatform platform;
    // PDF, then PNG: the choices of each come back in the next dialog.
    platform.saveNames = {app.file(QStringLiteral("a")), app.file(QStringLiteral("b")),
                          app.file(QStringLiteral("c"))};
    platform.saveFilterChoices = {2, 1, 2};
    platform.dialogHandlers.push_back([](QDialog &dialog) {
        field<QComboBox>(dialog, "selOrientatsiya")->setCurrentText(QStringLiteral("Альбомная"));
        field<QSpinBox>(dialog, "txtPolya")->setValue(25);
        field<QCheckBox>(dialog, "chProzrachnyy")->setChecked(true);
        dialog.accept();
    });
    platform.dialogHandlers.push_back([](QDialog &dialog) {
        EXPECT_TRUE(field<QCheckBox>(dialog, "chProzrachnyy")->isChecked());
        field<QCheckBox>(dialog, "chProzrachnyy")->setChecked(false);
        dialog.accept();
    });
    platform.dialogHandlers.push_back([](QDialog &dialog) {
        EXPECT_EQ(field<QComboBox>(dialog, "selOrientatsiya")->currentText(),
                  QStringLiteral("Альбомная"));
        EXPECT_EQ(field<QSpinBox>(dialog, "txtPolya")->value(), 25);
        EXPECT_FALSE(field<QCheckBox>(dialog, "chProzrachnyy")->isChecked());
        EXPECT_FALSE(sizeText(dialog).isEmpty());
        dialog.accept();
    });
    std::vector<OutputOptions> chosen;
    for (int i = 0; i < 3; ++i) {
        const std::optional<SaveTarget> target =
            askSaveTarget(platform, nullptr, app.path(), settings, kSheet);
        ASSERT_TRUE(target.has_value()) << i;
        chosen.push_back(target->options);
    }
    EXPECT_EQ(platform.dialogsShown.count(QStringLiteral("frmStranitsa")), 3);
    EXPECT_EQ(chosen[0].orientation, PageOrientation::Landscape);
    EXPECT_EQ(chosen[0].marginMm, 25);
    EXPECT_TRUE(chosen[0].transparent);
    EXPECT_EQ(chosen[2].format, OutputFormat::Pdf);
    EXPECT_EQ(chosen[2].marginMm, 25);
    EXPECT_FALSE(chosen[2].transparent);
}

TEST(frmStranitsa, TheOpenDialogGrowsToHoldTheWholeReasonWhenItWraps)
{
    const struct
    {
        const char *paper;
        int marginMm;
    } cases[] = {{"A5", 95}, {"A4", 100}};
    for (const auto &c : cases) {
        // Opened with a text of one line: the sheet fits on A3.
        OutputOptions options;
        options.format = OutputFormat::Pdf;
        options.paper = QPageSize::A3;
        options.orientation = PageOrientation::Landscape;
        frmStranitsa dialog(options, kSheet);
        dialog.show();
        QApplication::processEvents();
        field<QComboBox>(dialog, "selBumaga")->setCurrentText(QString::fromLatin1(c.paper));
        field<QSpinBox>(dialog, "txtPolya")->setValue(c.marginMm);
        QApplication::processEvents();
        const QLabel *label = field<QLabel>(dialog, "lblRazmer");
        EXPECT_GT(label->heightForWidth(label->width()), label->fontMetrics().lineSpacing())
            << c.paper << ": the reason takes more than one line";
        EXPECT_LE(label->heightForWidth(label->width()), label->height()) << c.paper;
    }
}
