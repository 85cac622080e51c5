#pragma once

#include <array>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QObject;
class QPushButton;
class QWidget;

namespace vexilo {

// The main window's command band: the lists, the labels, the five spacing boxes and the year,
// and the two commands, each at its fixed place and named by its object name.
struct FormaControls
{
    QComboBox *selXYMesyac = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    std::array<QLineEdit *, 6> txtRassttoyanie{};
    QComboBox *selKolMesyacev = nullptr;
    QComboBox *selMesyac = nullptr;
    QPushButton *kNew = nullptr;
    QPushButton *kSave = nullptr;
    // Names the view when it is not the described sheet; hidden otherwise.
    QLabel *lblVid = nullptr;

    // The menu bar's commands.
    QAction *MenuSelPapka = nullptr;
    QAction *MenuPrazdniki = nullptr;
    QAction *MenuVid = nullptr;
    QAction *MenuPechat = nullptr;
    QAction *MenuExit = nullptr;
    QAction *HelpCall = nullptr;
    QAction *HelpOprog = nullptr;
};

// Creates the band's controls in `client`; the number boxes pass their keys through the filter.
FormaControls createFormaControls(QWidget *client, QObject *numberFilter);
// Fills the menu bar ("Меню", "Справка") with the commands, their shortcuts set.
void addFormaMenu(FormaControls &controls, QMenuBar *bar);

} // namespace vexilo
