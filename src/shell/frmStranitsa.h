#pragma once

#include "compose/SheetOutput.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace vexilo {

// Asks how a sheet goes out as PNG or PDF: paper and orientation (PDF), dots per inch, and
// for PNG whether the whole sheet goes into one file.
class frmStranitsa : public QDialog
{
    Q_OBJECT
public:
    frmStranitsa(const OutputOptions &options, QWidget *parent = nullptr);

    OutputOptions options() const;

private:
    OutputOptions m_options;
    QComboBox *selBumaga = nullptr;
    QComboBox *selOrientatsiya = nullptr;
    QSpinBox *txtDpi = nullptr;
    QCheckBox *chTselikom = nullptr;
};

} // namespace vexilo
