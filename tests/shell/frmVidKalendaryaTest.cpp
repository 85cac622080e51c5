// «Вид календаря…» offscreen: each preset's fields, the choice kept in vexilo.ini, and the main
// window drawing it: the line naming the period and the first year without holidays asked for.
#include "shell/frmVidKalendarya.h"

#include "compose/glyphs/GlyphSet.h"
#include "holidays/PrazdnikiFile.h"
#include "shell/UserSettings.h"
#include "support/FormaUi.h"
#include "support/MainWindowTest.h"
#include "support/TestGlyphs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QSettings>
#include <QSpinBox>

#include <gtest/gtest.h>

using namespace vexilo;
using namespace vexilo::test;

namespace {

template <typename T> T *field(const QDialog &dialog, const char *name)
{
    T *widget = dialog.findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

} // namespace

TEST(frmVidKalendarya, PresetsFillTheirFieldsWhichStayEditableAndTheChoiceIsKept)
{
    frmVidKalendarya dialog(ViewChoice{}, 2026, nullptr);
    EXPECT_TRUE(dialog.choice().view.described()) << "the described sheet by default";
    EXPECT_FALSE(field<QSpinBox>(dialog, "txtGod")->isEnabled());

    struct Case
    {
        int preset;
        Period period;
        qint32 perPage;
        bool quarterly;
        bool pagesEditable;
    };
    const Case cases[] = {
        {1, {2026, 9, 12}, 12, false, true},
        {2, {2026, 1, 12}, 1, false, true},
        {3, {2026, 1, 12}, 1, true, false},
    };
    for (const Case &c : cases) {
        field<QComboBox>(dialog, "selVid")->setCurrentIndex(c.preset);
        const CalendarView view = dialog.choice().view;
        ASSERT_TRUE(view.period.has_value()) << c.preset;
        EXPECT_EQ(*view.period, c.period) << c.preset;
        EXPECT_EQ(view.perPage, c.perPage) << c.preset;
        EXPECT_EQ(view.quarterly, c.quarterly) << c.preset;
        EXPECT_EQ(field<QSpinBox>(dialog, "txtNaStranitse")->isEnabled(), c.pagesEditable);
        EXPECT_TRUE(field<QSpinBox>(dialog, "txtMesyacev")->isEnabled());
    }

    // A wall calendar of fourteen months from December, in one column, with every layout.
    field<QComboBox>(dialog, "selVid")->setCurrentIndex(2);
    field<QComboBox>(dialog, "selPervyyMesyac")->setCurrentIndex(11);
    field<QSpinBox>(dialog, "txtGod")->setValue(2026);
    field<QSpinBox>(dialog, "txtMesyacev")->setValue(14);
    field<QSpinBox>(dialog, "txtNaStranitse")->setValue(2);
    field<QComboBox>(dialog, "selVRyad")->setCurrentIndex(1);
    for (const char *box :
         {"chDniSverhu", "chSVoskresenya", "chNazvaniya", "chGod", "chNedeli", "chSosedi"})
        field<QCheckBox>(dialog, box)->setChecked(true);
    field<QComboBox>(dialog, "selRaspolozhenie")->setCurrentIndex(2);
    field<QSpinBox>(dialog, "txtOtstup")->setValue(25);
    const ViewChoice chosen = dialog.choice();
    EXPECT_EQ(chosen.preset, ViewPreset::Wall);
    EXPECT_EQ(*chosen.view.period, (Period{2026, 12, 14}));
    EXPECT_EQ(chosen.view.perPage, 2);
    EXPECT_EQ(chosen.view.monthsPerRow, 1);
    EXPECT_EQ(chosen.view.monthTitles, TitleAlign::Right);
    EXPECT_EQ(chosen.view.titleGap, 25);
    EXPECT_TRUE(chosen.view.weekdaysAcross && chosen.view.yearTitle && chosen.view.weekNumbers &&
                chosen.view.neighbourDays && chosen.view.weekStart == WeekStart::Sunday);
    // Another preset keeps the layout and the year, and fills its own period.
    field<QComboBox>(dialog, "selVid")->setCurrentIndex(1);
    EXPECT_EQ(*dialog.choice().view.period, (Period{2026, 9, 12}));
    EXPECT_EQ(dialog.choice().view.monthTitles, TitleAlign::Right);
    field<QComboBox>(dialog, "selVid")->setCurrentIndex(2);

    // Kept in vexilo.ini and shown again by the next dialog.
    const TempAppFolder app;
    const QString file = app.file(QStringLiteral("vexilo.ini"));
    const UserSettings settings(file);
    EXPECT_TRUE(settings.loadViewChoice().view.described()) << "nothing kept yet";
    settings.saveViewChoice(chosen);
    EXPECT_EQ(settings.loadViewChoice(), chosen);
    EXPECT_EQ(frmVidKalendarya(settings.loadViewChoice(), 2030, nullptr).choice(), chosen);

    // Edited by hand: each field that cannot be read falls back to its preset's.
    QSettings edited(file, QSettings::IniFormat);
    edited.setValue(QStringLiteral("view/months"), 37);
    edited.setValue(QStringLiteral("view/firstMonth"), QStringLiteral("май"));
    edited.setValue(QStringLiteral("view/perRow"), 5);
    edited.setValue(QStringLiteral("view/monthTitles"), QStringLiteral("middle"));
    edited.sync();
    const ViewChoice fallen = settings.loadViewChoice();
    EXPECT_EQ(*fallen.view.period, (Period{2026, 1, 12}));
    EXPECT_EQ(fallen.view.perPage, 2);
    EXPECT_EQ(fallen.view.monthsPerRow, 0);
    EXPECT_EQ(fallen.view.monthTitles, TitleAlign::None);
    edited.setValue(QStringLiteral("view/preset"), QStringLiteral("poster"));
    edited.sync();
    EXPECT_EQ(settings.loadViewChoice().preset, ViewPreset::YearOrMonth);
    EXPECT_FALSE(settings.loadViewChoice().view.period.has_value());
}

class ViewWindowTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        form->setGlyphs(glyphs.view());
        state.KartinkiZagruzheny = -1;
        ui(*form).selKolMesyacev->setCurrentIndex(0);
        ui(*form).txtRassttoyanie[5]->setText(QStringLiteral("2026"));
    }

    void addYear(qint32 year)
    {
        state.Prazdniki.append();
        state.Prazdniki.entry(state.Prazdniki.KolGodov())->God = year;
    }

    TestGlyphs glyphs;
};

TEST_F(ViewWindowTest, ASchoolYearIsNamedUnderTheControlsAndAsksForTheFirstYearWithoutHolidays)
{
    const QLabel *line = form->findChild<QLabel *>(QStringLiteral("lblVid"));
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->isHidden()) << "the described sheet needs no line";
    platform.dialogHandlers.push_back([](QDialog &dialog) {
        field<QComboBox>(dialog, "selVid")->setCurrentIndex(1);
        dialog.accept();
    });
    form->MenuVid_Click();
    EXPECT_FALSE(line->isHidden());
    EXPECT_EQ(line->text(), QStringLiteral("Вид календаря: «Учебный год», Сентябрь 2026 – Август "
                                           "2027, месяцев: 12, страниц: 1."));
    EXPECT_EQ(UserSettings(state.paths.settingsFile()).loadViewChoice().preset,
              ViewPreset::SchoolYear);

    // 2026 has holidays, 2027 not: the editor opens on 2027.
    addYear(2026);
    app.write(QStringLiteral("Праздники.dat"), writePrazdniki(state.Prazdniki));
    QString editorYear;
    platform.dialogHandlers.push_back([&editorYear](QDialog &dialog) {
        const QListWidget *years = dialog.findChild<QListWidget *>();
        if (years != nullptr && years->currentItem() != nullptr)
            editorYear = years->currentItem()->text();
        dialog.reject();
    });
    form->kNew_Click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, QStringLiteral("Введите праздники."));
    EXPECT_EQ(platform.dialogsShown.constLast(), QStringLiteral("frmPrazdniki"));
    EXPECT_EQ(editorYear, QStringLiteral("2027"));
    EXPECT_FALSE(ui(*form).kSave->isEnabled());

    // With both years the period is drawn, whatever the year box says.
    platform.messages.clear();
    addYear(2027);
    ui(*form).txtRassttoyanie[5]->setText(QStringLiteral("999"));
    form->kNew_Click();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(ui(*form).kSave->isEnabled());

    // Titles asked of a set that lacks one name its file.
    auto untitled = std::make_shared<GlyphSet>(*glyphs.view());
    untitled->missingTitle = QStringLiteral("Май.gif");
    form->setGlyphs(untitled);
    platform.dialogHandlers.push_back([](QDialog &dialog) {
        field<QCheckBox>(dialog, "chNazvaniya")->setChecked(true);
        dialog.accept();
    });
    form->MenuVid_Click();
    form->kNew_Click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              QStringLiteral("В наборе нет названий месяцев: нет файла «Май.gif»."));
}
