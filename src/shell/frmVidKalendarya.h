#pragma once

#include "shell/ViewChoice.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace vexilo {

// «Вид календаря…»: a preset, the period and pages it fills in (each field editable), and the
// layout of the months. `windowYear` is the year a preset starts from when none is kept.
class frmVidKalendarya : public QDialog
{
    Q_OBJECT
public:
    frmVidKalendarya(const ViewChoice &choice, qint32 windowYear, QWidget *parent = nullptr);

    ViewChoice choice() const;

private:
    void selVid_Click();
    void enableFields();
    void showView(const CalendarView &view);

    QComboBox *selVid = nullptr;
    QComboBox *selPervyyMesyac = nullptr;
    QSpinBox *txtGod = nullptr;
    QSpinBox *txtMesyacev = nullptr;
    QSpinBox *txtNaStranitse = nullptr;
    QComboBox *selVRyad = nullptr;
    QCheckBox *chDniSverhu = nullptr;
    QCheckBox *chSVoskresenya = nullptr;
    QCheckBox *chNazvaniya = nullptr;
    QComboBox *selRaspolozhenie = nullptr;
    QSpinBox *txtOtstup = nullptr;
    QCheckBox *chGod = nullptr;
    QCheckBox *chNedeli = nullptr;
    QCheckBox *chSosedi = nullptr;
};

} // namespace vexilo
