#include "frmVidKalendarya.h"

#include "common/ProgramText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>

namespace vexilo {

namespace {

constexpr std::array<ViewPreset, 4> kPresets = {ViewPreset::YearOrMonth, ViewPreset::SchoolYear,
                                                ViewPreset::Wall, ViewPreset::Quarterly};
// 0: the window's own list of 2, 3, 4 or 6.
constexpr std::array<qint32, 6> kPerRow = {0, 1, 2, 3, 4, 6};
constexpr std::array<TitleAlign, 3> kAligns = {TitleAlign::Left, TitleAlign::Centre,
                                               TitleAlign::Right};

template <typename Control> Control *named(Control *control, const char *name)
{
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

QSpinBox *spin(QWidget *parent, const char *name, int low, int high)
{
    auto *box = named(new QSpinBox(parent), name);
    box->setRange(low, high);
    return box;
}

QCheckBox *check(QWidget *parent, const char *name, const QString &text)
{
    return named(new QCheckBox(text, parent), name);
}

template <typename Value, std::size_t N> int indexOf(const std::array<Value, N> &values, Value v)
{
    const auto found = std::find(values.begin(), values.end(), v);
    return found == values.end() ? 0 : int(found - values.begin());
}

} // namespace

frmVidKalendarya::frmVidKalendarya(const ViewChoice &choice, qint32 windowYear, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmVidKalendarya"));
    setWindowTitle(QStringLiteral("Вид календаря"));
    setFont(designFont());
    auto *form = new QFormLayout(this);

    selVid = named(new QComboBox(this), "selVid");
    for (const ViewPreset preset : kPresets)
        selVid->addItem(presetName(preset));
    form->addRow(QStringLiteral("Календарь:"), selVid);

    auto *period = new QGroupBox(QStringLiteral("Период и страницы"), this);
    auto *periodForm = new QFormLayout(period);
    selPervyyMesyac = named(new QComboBox(period), "selPervyyMesyac");
    selPervyyMesyac->addItems(monthNames());
    selPervyyMesyac->setMaxVisibleItems(12);
    txtGod = spin(period, "txtGod", kFirstYear, kLastYear);
    auto *first = new QHBoxLayout;
    first->addWidget(selPervyyMesyac);
    first->addWidget(txtGod);
    periodForm->addRow(QStringLiteral("Первый месяц:"), first);
    txtMesyacev = spin(period, "txtMesyacev", 1, kMaxPeriodMonths);
    periodForm->addRow(QStringLiteral("Месяцев:"), txtMesyacev);
    txtNaStranitse = spin(period, "txtNaStranitse", 1, kMaxPeriodMonths);
    periodForm->addRow(QStringLiteral("Месяцев на странице:"), txtNaStranitse);
    selVRyad = named(new QComboBox(period), "selVRyad");
    selVRyad->addItems({QStringLiteral("Как в окне"), QStringLiteral("1 (столбцом)"),
                        QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                        QStringLiteral("6")});
    periodForm->addRow(QStringLiteral("Месяцев в ряд:"), selVRyad);
    form->addRow(period);

    auto *layout = new QGroupBox(QStringLiteral("Вид месяцев"), this);
    auto *layoutForm = new QFormLayout(layout);
    chDniSverhu = check(layout, "chDniSverhu", QStringLiteral("Дни недели сверху"));
    chSVoskresenya = check(layout, "chSVoskresenya", QStringLiteral("Неделя с воскресенья"));
    chNazvaniya = check(layout, "chNazvaniya", QStringLiteral("Названия месяцев"));
    selRaspolozhenie = named(new QComboBox(layout), "selRaspolozhenie");
    selRaspolozhenie->addItems(
        {QStringLiteral("Слева"), QStringLiteral("По центру"), QStringLiteral("Справа")});
    txtOtstup = spin(layout, "txtOtstup", kMinTitleGap, kMaxTitleGap);
    chGod = check(layout, "chGod", QStringLiteral("Год над листом"));
    chNedeli = check(layout, "chNedeli", QStringLiteral("Номера недель"));
    chSosedi = check(layout, "chSosedi", QStringLiteral("Дни соседних месяцев"));
    layoutForm->addRow(chDniSverhu);
    layoutForm->addRow(chSVoskresenya);
    auto *titles = new QHBoxLayout;
    titles->addWidget(chNazvaniya);
    titles->addWidget(selRaspolozhenie);
    layoutForm->addRow(titles);
    layoutForm->addRow(QStringLiteral("Отступ названия:"), txtOtstup);
    layoutForm->addRow(chGod);
    layoutForm->addRow(chNedeli);
    layoutForm->addRow(chSosedi);
    form->addRow(layout);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // The described sheet's fields are the window's; the others start from its year.
    selVid->setCurrentIndex(indexOf(kPresets, choice.preset));
    showView(choice.view.period ? choice.view
                                : presetView(ViewPreset::SchoolYear, windowYear, choice.view));
    if (!choice.view.period)
        selVRyad->setCurrentIndex(indexOf(kPerRow, choice.view.monthsPerRow));
    connect(selVid, &QComboBox::currentIndexChanged, this, &frmVidKalendarya::selVid_Click);
    connect(chNazvaniya, &QCheckBox::toggled, this, &frmVidKalendarya::enableFields);
    enableFields();
}

void frmVidKalendarya::showView(const CalendarView &view)
{
    if (view.period) {
        selPervyyMesyac->setCurrentIndex(view.period->month - 1);
        txtGod->setValue(view.period->year);
        txtMesyacev->setValue(view.period->months);
        txtNaStranitse->setValue(std::max(view.perPage, 1));
    }
    selVRyad->setCurrentIndex(indexOf(kPerRow, view.monthsPerRow));
    chDniSverhu->setChecked(view.weekdaysAcross);
    chSVoskresenya->setChecked(view.weekStart == WeekStart::Sunday);
    chNazvaniya->setChecked(view.monthTitles != TitleAlign::None);
    selRaspolozhenie->setCurrentIndex(
        view.monthTitles == TitleAlign::None ? 1 : indexOf(kAligns, view.monthTitles));
    txtOtstup->setValue(static_cast<int>(view.titleGap));
    chGod->setChecked(view.yearTitle);
    chNedeli->setChecked(view.weekNumbers);
    chSosedi->setChecked(view.neighbourDays);
}

void frmVidKalendarya::selVid_Click()
{
    const ViewPreset preset = kPresets[std::size_t(std::max(selVid->currentIndex(), 0))];
    // A preset fills its period from the year shown; the layout options stay as chosen.
    const CalendarView chosen = choice().view;
    if (preset != ViewPreset::YearOrMonth)
        showView(presetView(preset, txtGod->value(), chosen));
    else
        selVRyad->setCurrentIndex(0);
    enableFields();
}

void frmVidKalendarya::enableFields()
{
    const ViewPreset preset = kPresets[std::size_t(std::max(selVid->currentIndex(), 0))];
    const bool period = preset != ViewPreset::YearOrMonth;
    const bool quarterly = preset == ViewPreset::Quarterly;
    selPervyyMesyac->setEnabled(period);
    txtGod->setEnabled(period);
    txtMesyacev->setEnabled(period);
    // A quarterly page is one month between its neighbours, in one column.
    txtNaStranitse->setEnabled(period && !quarterly);
    selVRyad->setEnabled(!quarterly);
    selRaspolozhenie->setEnabled(chNazvaniya->isChecked());
    txtOtstup->setEnabled(chNazvaniya->isChecked());
}

ViewChoice frmVidKalendarya::choice() const
{
    ViewChoice chosen;
    chosen.preset = kPresets[std::size_t(std::max(selVid->currentIndex(), 0))];
    CalendarView layout;
    layout.weekdaysAcross = chDniSverhu->isChecked();
    layout.weekStart = chSVoskresenya->isChecked() ? WeekStart::Sunday : WeekStart::Monday;
    layout.monthTitles = chNazvaniya->isChecked()
                             ? kAligns[std::size_t(std::max(selRaspolozhenie->currentIndex(), 0))]
                             : TitleAlign::None;
    layout.titleGap = txtOtstup->value();
    layout.yearTitle = chGod->isChecked();
    layout.weekNumbers = chNedeli->isChecked();
    layout.neighbourDays = chSosedi->isChecked();
    CalendarView view = presetView(chosen.preset, txtGod->value(), layout);
    if (view.period) {
        view.period->month = selPervyyMesyac->currentIndex() + 1;
        view.period->months = txtMesyacev->value();
        if (!view.quarterly)
            view.perPage = txtNaStranitse->value();
    }
    if (!view.quarterly)
        view.monthsPerRow = kPerRow[std::size_t(std::max(selVRyad->currentIndex(), 0))];
    chosen.view = view;
    return chosen;
}

} // namespace vexilo
