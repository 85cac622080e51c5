#include "frmStranitsa.h"

#include "common/ProgramText.h"
#include "compose/output/PagePlacement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QSpinBox>

namespace vexilo {

frmStranitsa::frmStranitsa(const OutputOptions &options, QSize sheetPixels, QWidget *parent,
                           bool vectorSet)
    : QDialog(parent), m_options(options), m_sheetPixels(sheetPixels), m_vectorSet(vectorSet)
{
    setObjectName(QStringLiteral("frmStranitsa"));
    const bool pdf = options.format == OutputFormat::Pdf;
    const bool svg = options.format == OutputFormat::Svg;
    setWindowTitle(pdf   ? QStringLiteral("Документ PDF")
                   : svg ? QStringLiteral("Рисунок SVG")
                         : QStringLiteral("Рисунок PNG"));
    setFont(designFont());
    auto *form = new QFormLayout(this);

    selBumaga = new QComboBox(this);
    selBumaga->setObjectName(QStringLiteral("selBumaga"));
    for (const auto &[name, id] : paperNames())
        selBumaga->addItem(name, static_cast<int>(id));
    selBumaga->setCurrentIndex(selBumaga->findData(static_cast<int>(options.paper)));
    selOrientatsiya = new QComboBox(this);
    selOrientatsiya->setObjectName(QStringLiteral("selOrientatsiya"));
    selOrientatsiya->addItem(QStringLiteral("Автоматически"),
                             static_cast<int>(PageOrientation::Automatic));
    selOrientatsiya->addItem(QStringLiteral("Книжная"),
                             static_cast<int>(PageOrientation::Portrait));
    selOrientatsiya->addItem(QStringLiteral("Альбомная"),
                             static_cast<int>(PageOrientation::Landscape));
    selOrientatsiya->setCurrentIndex(
        selOrientatsiya->findData(static_cast<int>(options.orientation)));
    txtPolya = new QSpinBox(this);
    txtPolya->setObjectName(QStringLiteral("txtPolya"));
    txtPolya->setRange(kMinMarginMm, kMaxMarginMm);
    txtPolya->setValue(options.marginMm);
    txtPolya->setSuffix(QStringLiteral(" мм"));
    txtDpi = new QSpinBox(this);
    txtDpi->setObjectName(QStringLiteral("txtDpi"));
    txtDpi->setRange(kMinDpi, kMaxDpi);
    txtDpi->setValue(options.dpi);
    txtDpi->setSuffix(QStringLiteral(" точек на дюйм"));
    chTselikom = new QCheckBox(QStringLiteral("Весь лист одним файлом"), this);
    chTselikom->setObjectName(QStringLiteral("chTselikom"));
    chTselikom->setChecked(options.whole);
    chProzrachnyy = new QCheckBox(QStringLiteral("Прозрачный фон"), this);
    chProzrachnyy->setObjectName(QStringLiteral("chProzrachnyy"));
    chProzrachnyy->setChecked(options.transparent);
    lblRazmer = new QLabel(this);
    lblRazmer->setObjectName(QStringLiteral("lblRazmer"));
    lblRazmer->setWordWrap(true);

    if (pdf) {
        form->addRow(QStringLiteral("Бумага:"), selBumaga);
        form->addRow(QStringLiteral("Ориентация:"), selOrientatsiya);
        form->addRow(QStringLiteral("Поля:"), txtPolya);
        chTselikom->hide();
    } else {
        selBumaga->hide();
        selOrientatsiya->hide();
        txtPolya->hide();
    }
    // An SVG file is one picture of no resolution of its own.
    if (svg) {
        txtDpi->hide();
        chTselikom->hide();
    } else {
        form->addRow(QStringLiteral("Разрешение:"), txtDpi);
    }
    if (!pdf && !svg)
        form->addRow(chTselikom);
    form->addRow(chProzrachnyy);
    form->addRow(lblRazmer);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    kOK = buttons->button(QDialogButtonBox::Ok);
    kOK->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    connect(selBumaga, &QComboBox::currentIndexChanged, this, &frmStranitsa::updatePrintedSize);
    connect(selOrientatsiya, &QComboBox::currentIndexChanged, this,
            &frmStranitsa::updatePrintedSize);
    connect(txtPolya, &QSpinBox::valueChanged, this, &frmStranitsa::updatePrintedSize);
    connect(txtDpi, &QSpinBox::valueChanged, this, &frmStranitsa::updatePrintedSize);
    updatePrintedSize();
}

OutputOptions frmStranitsa::options() const
{
    OutputOptions options = m_options;
    if (options.format == OutputFormat::Pdf) {
        options.paper = static_cast<QPageSize::PageSizeId>(selBumaga->currentData().toInt());
        options.orientation = static_cast<PageOrientation>(selOrientatsiya->currentData().toInt());
        options.marginMm = txtPolya->value();
    } else {
        options.whole = chTselikom->isChecked();
    }
    options.dpi = txtDpi->value();
    options.transparent = chProzrachnyy->isChecked();
    return options;
}

void frmStranitsa::updatePrintedSize()
{
    const OutputOptions chosen = options();
    OutputOptions printed = chosen;
    if (m_vectorSet || chosen.format == OutputFormat::Svg)
        printed.dpi = kDefaultDpi;
    lblRazmer->setText(printedSizeText(m_sheetPixels, printed));
    // A longer text wraps to more lines: the open dialog grows to hold them, as a window's
    // layout does not do for a label that wraps.
    if (isVisible()) {
        layout()->activate();
        const int needed = layout()->totalHeightForWidth(width());
        if (needed > height())
            resize(width(), needed);
    }
    // Margins that leave no room on the paper cannot be chosen.
    kOK->setEnabled(chosen.format != OutputFormat::Pdf ||
                    marginsLeaveRoom(chosen.marginMm, chosen.paper));
}

} // namespace vexilo
