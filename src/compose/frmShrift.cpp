#include "frmShrift.h"

#include "common/SafeFolder.h"
#include "compose/GlyphSet.h"
#include "platform/Platform.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vexilo {

namespace {

const QString kCaption = QStringLiteral("Создатель календарей Vexilo");
constexpr int kDefaultSize = 28;
const QSize kPreviewArea(460, 150);

} // namespace

frmShrift::frmShrift(const QString &setsFolder, Platform &platform, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_setsFolder(setsFolder), m_platform(platform)
{
    setObjectName(QStringLiteral("frmShrift"));
    setWindowTitle(QStringLiteral("Набор из шрифта"));
    buildControls();
    updatePreview();
}

void frmShrift::buildControls()
{
    selShrift = new QFontComboBox(this);
    selShrift->setObjectName(QStringLiteral("selShrift"));
    selShrift->setWritingSystem(QFontDatabase::Cyrillic);
    selShrift->setEditable(false);

    txtRazmer = new QSpinBox(this);
    txtRazmer->setObjectName(QStringLiteral("txtRazmer"));
    txtRazmer->setRange(kMinGlyphFontSize, kMaxGlyphFontSize);
    txtRazmer->setValue(kDefaultSize);
    txtRazmer->setSuffix(QStringLiteral(" пикс."));

    chZhirnyi = new QCheckBox(QStringLiteral("Жирный"), this);
    chZhirnyi->setObjectName(QStringLiteral("chZhirnyi"));
    chZhirnyi->setChecked(true);

    kCvet = new QPushButton(QStringLiteral("Цвет…"), this);
    kCvet->setObjectName(QStringLiteral("kCvet"));
    kCvet->setAutoDefault(false);

    picPrimer = new QLabel(this);
    picPrimer->setObjectName(QStringLiteral("picPrimer"));
    picPrimer->setFixedSize(kPreviewArea);
    picPrimer->setAlignment(Qt::AlignCenter);
    picPrimer->setStyleSheet(QStringLiteral("background: white; border: 1px solid #999;"));

    txtImya = new QLineEdit(QStringLiteral("Мой набор"), this);
    txtImya->setObjectName(QStringLiteral("txtImya"));

    kOK = new QPushButton(QStringLiteral("Создать"), this);
    kOK->setObjectName(QStringLiteral("kOK"));
    kOK->setDefault(true);
    kNO = new QPushButton(QStringLiteral("Отмена"), this);
    kNO->setObjectName(QStringLiteral("kNO"));
    kNO->setAutoDefault(false);

    auto *style = new QHBoxLayout;
    style->addWidget(txtRazmer);
    style->addWidget(chZhirnyi);
    style->addWidget(kCvet);
    style->addStretch();
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Шрифт:"), selShrift);
    form->addRow(QStringLiteral("Размер:"), style);
    form->addRow(QStringLiteral("Имя набора:"), txtImya);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(kOK);
    buttons->addWidget(kNO);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(picPrimer);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(selShrift, &QFontComboBox::currentFontChanged, this, &frmShrift::updatePreview);
    connect(txtRazmer, &QSpinBox::valueChanged, this, &frmShrift::updatePreview);
    connect(chZhirnyi, &QCheckBox::toggled, this, &frmShrift::updatePreview);
    connect(kCvet, &QPushButton::clicked, this, &frmShrift::kCvet_Click);
    connect(kOK, &QPushButton::clicked, this, &frmShrift::kOK_Click);
    connect(kNO, &QPushButton::clicked, this, &QDialog::reject);
    showColor();
}

GlyphStyle frmShrift::style() const
{
    return {selShrift->currentFont().family(), txtRazmer->value(), chZhirnyi->isChecked(), m_color};
}

void frmShrift::showColor()
{
    QPixmap swatch(16, 16);
    swatch.fill(m_color);
    kCvet->setIcon(QIcon(swatch));
}

void frmShrift::updatePreview()
{
    m_preview = glyphPreview(makeGlyphs(style()));
    QPixmap shown = QPixmap::fromImage(m_preview);
    // Smaller, never larger, than the glyphs really are.
    if (shown.width() > kPreviewArea.width() - 4 || shown.height() > kPreviewArea.height() - 4)
        shown =
            shown.scaled(kPreviewArea - QSize(4, 4), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    picPrimer->setPixmap(shown);
}

void frmShrift::kCvet_Click()
{
    if (const auto chosen = m_platform.chooseColor(m_color, QStringLiteral("Цвет цифр"))) {
        m_color = *chosen;
        m_color.setAlpha(255);
        showColor();
        updatePreview();
    }
}

void frmShrift::kOK_Click()
{
    const QString name = txtImya->text().trimmed();
    if (!isGlyphFolderName(name)) {
        m_platform.messageBox(
            QStringLiteral("Введите имя набора: имя одной папки, без «/» и «\\»."), kCaption,
            MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    const GlyphStyle chosen = style();
    if (!installedFontFamily(chosen.family)) {
        m_platform.messageBox(QStringLiteral("Шрифт «%1» не установлен.").arg(chosen.family),
                              kCaption, MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    const QString folder = m_setsFolder + name;
    const bool exists = QFileInfo::exists(folder);
    if (exists &&
        m_platform.messageBox(QStringLiteral("Набор «%1» уже есть. Заменить его?").arg(name),
                              kCaption, MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    const SafeWriteResult written = writeMadeGlyphs(makeGlyphs(chosen), folder, exists,
                                                    {Durability::Synced, m_platform.saveFaults()});
    if (!written.ok) {
        m_platform.messageBox(failedWriteMessage(written), kCaption, MsgIcon::Information,
                              MsgButtons::Ok);
        return;
    }
    m_created = name;
    accept();
}

} // namespace vexilo
