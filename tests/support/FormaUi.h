#pragma once

#include "platform/PictureBox.h"
#include "shell/SheetView.h"
#include "shell/frmForma.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include <array>

namespace vexilo::test {

// The main window's controls, found by their names, as a test drives and reads them.
struct FormaUi
{
    explicit FormaUi(const frmForma &form);

    QComboBox *selXYMesyac;
    QLabel *Label1;
    QLabel *Label4;
    std::array<QLineEdit *, 6> txtRassttoyanie;
    QComboBox *selKolMesyacev;
    QComboBox *selMesyac;
    QPushButton *kNew;
    QPushButton *kSave;
    SheetView *picControl;
    QWidget *picControlInner;
    QScrollBar *VScroll1;
    QScrollBar *HScroll1;
    QWidget *PctrUgol;
    std::array<PictureBox *, 6> picRisunok;
    QAction *MenuExit;
};

inline FormaUi ui(const frmForma &form)
{
    return FormaUi(form);
}

} // namespace vexilo::test
