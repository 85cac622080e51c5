#include "frmStranitsa.h"

#include "common/ProgramText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>

namespace vexilo {

frmStranitsa::frmStranitsa(const OutputOptions &options, QWidget *parent)
    : QDialog(parent), m_options(options)
{
    setObjectName(QStringLiteral("frmStranitsa"));
    setWindowTitle(options.format == OutputFormat::Pdf ? QStringLiteral("Документ PDF")
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
    selOrientatsiya->addItems({QStringLiteral("Книжная"), QStringLiteral("Альбомная")});
    selOrientatsiya->setCurrentIndex(options.orientation == QPageLayout::Landscape ? 1 : 0);
    txtDpi = new QSpinBox(this);
    txtDpi->setObjectName(QStringLiteral("txtDpi"));
    txtDpi->setRange(kMinDpi, kMaxDpi);
    txtDpi->setValue(options.dpi);
    txtDpi->setSuffix(QStringLiteral(" точек на дюйм"));
    chTselikom = new QCheckBox(QStringLiteral("Весь лист одним файлом"), this);
    chTselikom->setObjectName(QStringLiteral("chTselikom"));
    chTselikom->setChecked(options.whole);

    if (options.format == OutputFormat::Pdf) {
        form->addRow(QStringLiteral("Бумага:"), selBumaga);
        form->addRow(QStringLiteral("Ориентация:"), selOrientatsiya);
        chTselikom->hide();
    } else {
        selBumaga->hide();
        selOrientatsiya->hide();
    }
    form->addRow(QStringLiteral("Разрешение:"), txtDpi);
    if (options.format != OutputFormat::Pdf)
        form->addRow(chTselikom);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

OutputOptions frmStranitsa::options() const
{
    OutputOptions options = m_options;
    if (options.format == OutputFormat::Pdf) {
        options.paper = static_cast<QPageSize::PageSizeId>(selBumaga->currentData().toInt());
        options.orientation =
            selOrientatsiya->currentIndex() == 1 ? QPageLayout::Landscape : QPageLayout::Portrait;
    } else {
        options.whole = chTselikom->isChecked();
    }
    options.dpi = txtDpi->value();
    return options;
}

} // namespace vexilo
