#pragma once

#include "compose/output/SheetOutput.h"

#include <QDialog>
#include <QSize>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace vexilo {

// Asks how a sheet goes out as PNG or PDF: paper, orientation and margins (PDF), dots per inch,
// a transparent background, and for PNG whether the whole sheet goes into one file. It shows
// the size of the sheet of `sheetPixels` on paper as the choices change.
class frmStranitsa : public QDialog
{
    Q_OBJECT
public:
    // A vector set's sheet prints at the size of its CSS pixels, whatever the dpi.
    frmStranitsa(const OutputOptions &options, QSize sheetPixels, QWidget *parent = nullptr,
                 bool vectorSet = false);

    OutputOptions options() const;

private:
    void updatePrintedSize();

    OutputOptions m_options;
    QSize m_sheetPixels;
    bool m_vectorSet = false;
    QComboBox *selBumaga = nullptr;
    QComboBox *selOrientatsiya = nullptr;
    QSpinBox *txtPolya = nullptr;
    QSpinBox *txtDpi = nullptr;
    QCheckBox *chTselikom = nullptr;
    QCheckBox *chProzrachnyy = nullptr;
    QLabel *lblRazmer = nullptr;
    QPushButton *kOK = nullptr;
};

} // namespace vexilo
