#include "FormaControls.h"

#include "common/ProgramText.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>

namespace vexilo {

namespace {

// A control at its fixed place, named for tests and tools.
template <typename Control, typename... Args>
Control *place(QWidget *parent, const char *name, QRect geometry, Args &&...args)
{
    auto *control = new Control(std::forward<Args>(args)..., parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(geometry);
    return control;
}

QComboBox *makeList(QWidget *parent, const char *name, const QStringList &items, QRect geometry)
{
    auto *list = place<QComboBox>(parent, name, geometry);
    list->addItems(items);
    return list;
}

} // namespace

FormaControls createFormaControls(QWidget *client, QObject *numberFilter)
{
    FormaControls c;
    c.selXYMesyac = makeList(client, "selXYMesyac",
                             {QStringLiteral("2 месяца в ряд"), QStringLiteral("3 месяца в ряд"),
                              QStringLiteral("4 месяца в ряд"), QStringLiteral("6 месяца в ряд")},
                             {0, 80, 153, 28});
    c.Label1 = place<QLabel>(client, "Label1", {160, 84, 68, 20}, QStringLiteral("Даты X:"));
    c.Label2 = place<QLabel>(client, "Label2", {296, 84, 68, 20}, QStringLiteral("Даты Y:"));
    c.Label3 = place<QLabel>(client, "Label3", {432, 84, 88, 20}, QStringLiteral("Месяцы X:"));
    c.Label4 = place<QLabel>(client, "Label4", {584, 84, 88, 20}, QStringLiteral("Месяцы Y:"));
    c.Label5 = place<QLabel>(client, "Label5", {0, 116, 76, 20}, QStringLiteral("Числа X:"));
    c.Label6 = place<QLabel>(client, "Label6", {144, 116, 38, 20}, QStringLiteral("Год:"));

    const std::array<std::pair<const char *, QRect>, 6> boxes = {{
        {"10", {232, 80, 49, 28}},
        {"5", {368, 80, 49, 28}},
        {"20", {520, 80, 49, 28}},
        {"20", {672, 80, 49, 28}},
        {"3", {80, 112, 49, 28}},
        {"2013", {184, 112, 57, 28}},
    }};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        auto *box =
            place<QLineEdit>(client, "", boxes[i].second, QString::fromLatin1(boxes[i].first));
        box->setObjectName(QStringLiteral("txtRassttoyanie%1").arg(i));
        box->installEventFilter(numberFilter);
        c.txtRassttoyanie[i] = box;
    }

    c.selKolMesyacev =
        makeList(client, "selKolMesyacev", {QStringLiteral("Весь год"), QStringLiteral("1 месяц")},
                 {256, 112, 113, 28});
    c.selMesyac = makeList(client, "selMesyac", monthNames(), {376, 112, 113, 28});
    // Nothing is chosen until the settings are restored.
    c.selKolMesyacev->setCurrentIndex(-1);
    c.selMesyac->setCurrentIndex(-1);
    c.selMesyac->setMaxVisibleItems(12);

    c.kNew = place<QPushButton>(client, "kNew", {496, 112, 113, 33}, QStringLiteral("Нарисовать"));
    c.kSave = place<QPushButton>(client, "kSave", {616, 112, 113, 33}, QStringLiteral("Сохранить"));
    c.kSave->setEnabled(false);
    // Above the band's controls, which keep their places.
    // Two lines, so that a period and its layouts are named whole.
    c.lblVid = place<QLabel>(client, "lblVid", {0, 30, 730, 46});
    c.lblVid->setWordWrap(true);
    c.lblVid->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    c.lblVid->hide();
    return c;
}

void addFormaMenu(FormaControls &c, QMenuBar *bar)
{
    QMenu *menu = bar->addMenu(QStringLiteral("Меню"));
    c.MenuSelPapka = menu->addAction(QStringLiteral("Выбор папки"));
    c.MenuSelPapka->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    c.MenuPrazdniki = menu->addAction(QStringLiteral("Ввод праздников"));
    c.MenuVid = menu->addAction(QStringLiteral("Вид календаря…"));
    c.MenuPechat = menu->addAction(QStringLiteral("Печать…"));
    c.MenuPechat->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    c.MenuPechat->setEnabled(false); // until a sheet is drawn
    menu->addSeparator();
    c.MenuExit = menu->addAction(QStringLiteral("Выход"));

    QMenu *help = bar->addMenu(QStringLiteral("Справка"));
    c.HelpCall = help->addAction(QStringLiteral("Вызов справки"));
    c.HelpCall->setShortcut(QKeySequence(Qt::Key_F1));
    c.HelpOprog = help->addAction(QStringLiteral("О программе"));

    // F10 opens the first menu, as in other desktop programs; the arrows and Enter go on from
    // there, so every command can be reached without a mouse.
    auto *f10 = new QShortcut(QKeySequence(Qt::Key_F10), bar->window());
    f10->setObjectName(QStringLiteral("menuKey"));
    QObject::connect(f10, &QShortcut::activated, bar,
                     [bar, menu] { bar->setActiveAction(menu->menuAction()); });
}

} // namespace vexilo
