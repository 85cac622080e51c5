#include "frmShrift.h"

#include "common/ProgramText.h"
#include "common/SafeFolder.h"
#include "compose/glyphs/GlyphSet.h"
#include "platform/Platform.h"
#include "platform/SaveReport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace vexilo {

namespace {

constexpr int kDefaultSize = 28;
const QSize kPreviewArea(460, 150);
// Drawing a large set takes a good part of a second, so the preview waits for the controls to
// settle instead of following every step of the size box.
constexpr int kPreviewDelayMs = 200;

} // namespace

// Takes any number as typed, so that one outside the range is refused with a word instead of
// being cut short or quietly undone.
class GlyphSizeBox : public QSpinBox
{
public:
    using QSpinBox::QSpinBox;

    // Told of a typed number outside the range; `leaving` when the box was losing focus.
    std::function<void(const QString &typed, bool leaving)> refused;

    // Whether the text typed is a number outside the range; it is then put back to the value
    // and reported.
    bool refuseTyped(bool leaving)
    {
        bool number = false;
        const QString typed = cleanText().trimmed();
        const int size = typed.toInt(&number);
        if (!number || (size >= minimum() && size <= maximum()))
            return false;
        setValue(value());
        if (refused)
            refused(typed, leaving);
        return true;
    }

protected:
    QValidator::State validate(QString &text, int &pos) const override
    {
        const QValidator::State state = QSpinBox::validate(text, pos);
        QString digits = text;
        if (digits.endsWith(suffix()))
            digits.chop(suffix().size());
        digits = digits.trimmed();
        bool number = false;
        digits.toInt(&number);
        return state == QValidator::Invalid && number && digits.size() <= 6
                   ? QValidator::Intermediate
                   : state;
    }

    void focusOutEvent(QFocusEvent *event) override
    {
        refuseTyped(true);
        QSpinBox::focusOutEvent(event);
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        // Enter on a refused size stays in the box rather than creating the set.
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
            refuseTyped(false)) {
            event->accept();
            return;
        }
        QSpinBox::keyPressEvent(event);
    }
};

frmShrift::frmShrift(const QString &setsFolder, Platform &platform, GlyphStyleMemory memory,
                     QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_setsFolder(setsFolder), m_platform(platform), m_memory(std::move(memory))
{
    setObjectName(QStringLiteral("frmShrift"));
    setWindowTitle(QStringLiteral("Набор из шрифта"));
    setFont(designFont());
    buildControls();
    restoreStyle();
    restoreFiles();
    updatePreview();
}

// The style of the last set written, as far as it still fits: a font since removed or a size
// out of the range keeps the usual choice.
void frmShrift::restoreStyle()
{
    const std::optional<GlyphStyle> kept = m_memory.load ? m_memory.load() : std::nullopt;
    if (!kept)
        return;
    if (const std::optional<QString> family = installedFontFamily(kept->family))
        selShrift->setCurrentFont(QFont(*family));
    if (kept->pixelSize >= kMinGlyphFontSize && kept->pixelSize <= kMaxGlyphFontSize)
        txtRazmer->setValue(kept->pixelSize);
    chZhirnyi->setChecked(kept->bold);
    chPropisnye->setChecked(kept->capitalTitles);
    if (kept->color.isValid()) {
        m_color = kept->color;
        m_color.setAlpha(255);
        showColor();
    }
    m_previewTimer->stop();
}

void frmShrift::restoreFiles()
{
    const std::optional<MadeGlyphFiles> kept =
        m_memory.loadFiles ? m_memory.loadFiles() : std::nullopt;
    if (const int index = kept ? selVid->findData(static_cast<int>(*kept)) : -1; index >= 0)
        selVid->setCurrentIndex(index);
}

void frmShrift::buildControls()
{
    selShrift = new QFontComboBox(this);
    selShrift->setObjectName(QStringLiteral("selShrift"));
    selShrift->setWritingSystem(QFontDatabase::Cyrillic);
    selShrift->setEditable(false);

    m_sizeBox = new GlyphSizeBox(this);
    txtRazmer = m_sizeBox;
    txtRazmer->setObjectName(QStringLiteral("txtRazmer"));
    txtRazmer->setRange(kMinGlyphFontSize, kMaxGlyphFontSize);
    txtRazmer->setValue(kDefaultSize);
    txtRazmer->setSuffix(QStringLiteral(" пикс."));
    // A size counts once it is entered, so a refused one goes back to the size before it.
    txtRazmer->setKeyboardTracking(false);
    m_sizeBox->refused = [this](const QString &typed, bool leaving) {
        sizeRefused(typed, leaving);
    };
    lblRazmer = new QLabel(this);
    lblRazmer->setObjectName(QStringLiteral("lblRazmer"));
    lblRazmer->setFont(designFont(9, false));
    showSizeRange();

    m_previewTimer = new QTimer(this);
    m_previewTimer->setSingleShot(true);
    m_previewTimer->setInterval(kPreviewDelayMs);
    connect(m_previewTimer, &QTimer::timeout, this, &frmShrift::updatePreview);

    chZhirnyi = new QCheckBox(QStringLiteral("Жирный"), this);
    chZhirnyi->setObjectName(QStringLiteral("chZhirnyi"));
    chZhirnyi->setChecked(true);

    chPropisnye = new QCheckBox(QStringLiteral("Названия месяцев прописными (ЯНВАРЬ)"), this);
    chPropisnye->setObjectName(QStringLiteral("chPropisnye"));

    kCvet = new QPushButton(QStringLiteral("Цвет…"), this);
    kCvet->setObjectName(QStringLiteral("kCvet"));
    kCvet->setAutoDefault(false);

    selVid = new QComboBox(this);
    selVid->setObjectName(QStringLiteral("selVid"));
    selVid->addItem(QStringLiteral("GIF — картинки из точек"),
                    static_cast<int>(MadeGlyphFiles::Gif));
    selVid->addItem(QStringLiteral("SVG — векторные контуры"),
                    static_cast<int>(MadeGlyphFiles::Svg));
    selVid->setToolTip(QStringLiteral("Контуры SVG не зависят от шрифтов компьютера и остаются "
                                      "чёткими при печати в любом размере."));

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
    form->addRow(QString(), lblRazmer);
    form->addRow(QStringLiteral("Вид набора:"), selVid);
    form->addRow(QString(), chPropisnye);
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

    connect(selShrift, &QFontComboBox::currentFontChanged, this, &frmShrift::schedulePreview);
    connect(txtRazmer, &QSpinBox::valueChanged, this, [this] {
        m_sizeRefusedUnseen = false;
        showSizeRange();
        schedulePreview();
    });
    connect(chZhirnyi, &QCheckBox::toggled, this, &frmShrift::schedulePreview);
    connect(chPropisnye, &QCheckBox::toggled, this, &frmShrift::schedulePreview);
    connect(kCvet, &QPushButton::clicked, this, &frmShrift::kCvet_Click);
    connect(kOK, &QPushButton::clicked, this, &frmShrift::kOK_Click);
    connect(kNO, &QPushButton::clicked, this, &QDialog::reject);
    showColor();
}

GlyphStyle frmShrift::style() const
{
    return {selShrift->currentFont().family(), txtRazmer->value(), chZhirnyi->isChecked(), m_color,
            chPropisnye->isChecked()};
}

MadeGlyphFiles frmShrift::files() const
{
    return static_cast<MadeGlyphFiles>(selVid->currentData().toInt());
}

void frmShrift::showColor()
{
    QPixmap swatch(16, 16);
    swatch.fill(m_color);
    kCvet->setIcon(QIcon(swatch));
}

void frmShrift::showSizeRange()
{
    lblRazmer->setStyleSheet(QStringLiteral("color: #555;"));
    lblRazmer->setText(QStringLiteral("Размер — от %1 до %2 пикселей.")
                           .arg(kMinGlyphFontSize)
                           .arg(kMaxGlyphFontSize));
}

void frmShrift::sizeRefused(const QString &typed, bool leaving)
{
    lblRazmer->setStyleSheet(QStringLiteral("color: #b00000;"));
    lblRazmer->setText(QStringLiteral("Размер %1 вне пределов от %2 до %3, оставлен %4.")
                           .arg(typed)
                           .arg(kMinGlyphFontSize)
                           .arg(kMaxGlyphFontSize)
                           .arg(txtRazmer->value()));
    m_sizeRefusedUnseen = m_sizeRefusedUnseen || leaving;
}

bool frmShrift::previewPending() const
{
    return m_previewTimer->isActive();
}

void frmShrift::schedulePreview()
{
    m_previewTimer->start();
}

void frmShrift::updatePreview()
{
    m_previewTimer->stop();
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
        schedulePreview();
    }
}

void frmShrift::kOK_Click()
{
    // A size refused just now, perhaps as this click took the focus, is said before anything
    // is written in the size left in its place.
    if (m_sizeBox->refuseTyped(false) || m_sizeRefusedUnseen) {
        m_sizeRefusedUnseen = false;
        m_platform.messageBox(
            QStringLiteral("Размер шрифта — от %1 до %2 пикселей; набор не "
                           "создан. Проверьте размер и нажмите «Создать» ещё раз.")
                .arg(kMinGlyphFontSize)
                .arg(kMaxGlyphFontSize),
            applicationTitle(), MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    const QString name = txtImya->text().trimmed();
    if (!isGlyphFolderName(name)) {
        m_platform.messageBox(
            QStringLiteral("Введите имя набора: имя одной папки, без «/» и «\\»."),
            applicationTitle(), MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    // The folder window lists no hidden folder, so such a set could never be chosen.
    if (name.startsWith(u'.')) {
        m_platform.messageBox(QStringLiteral("Имя набора не может начинаться с точки: такая "
                                             "папка скрыта и не видна в списке наборов."),
                              applicationTitle(), MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    const GlyphStyle chosen = style();
    if (!installedFontFamily(chosen.family)) {
        m_platform.messageBox(QStringLiteral("Шрифт «%1» не установлен.").arg(chosen.family),
                              applicationTitle(), MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    const QString folder = m_setsFolder + name;
    const bool exists = QFileInfo::exists(folder) || QFileInfo(folder).isSymLink();
    // A set that cannot be replaced is no question to ask.
    if (exists)
        if (const std::optional<SafeWriteResult> refused = otherKindRefusal(folder, files())) {
            reportWriteFailure(m_platform, *refused, WrittenThing::GlyphSet);
            return;
        }
    if (exists && m_platform.messageBox(
                      QStringLiteral("Набор «%1» уже есть. Заменить его?").arg(name),
                      applicationTitle(), MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    const SafeWriteResult written = writeMadeGlyphs(
        makeGlyphs(chosen), folder, exists, {Durability::Synced, m_platform.saveFaults()}, files());
    if (!written.ok) {
        reportWriteFailure(m_platform, written, WrittenThing::GlyphSet);
        return;
    }
    if (m_memory.save)
        m_memory.save(chosen);
    if (m_memory.saveFiles)
        m_memory.saveFiles(files());
    m_created = name;
    accept();
}

} // namespace vexilo
