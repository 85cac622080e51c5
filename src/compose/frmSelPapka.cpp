#include "frmSelPapka.h"

#include "compose/glyphs/GlyphSet.h"
#include "compose/maker/frmShrift.h"
#include "platform/Platform.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace vexilo {

namespace {

// The caption is wider than the box: it wraps onto a second line instead of being cut off,
// and a click anywhere on it toggles the box.
class WrappingCheckBox : public QCheckBox
{
public:
    using QCheckBox::QCheckBox;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        QStyleOptionButton indicator = option;
        indicator.rect = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
        painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, indicator);

        const int left = indicator.rect.right() + 1 +
                         style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, this);
        const QRect area(left, 0, width() - left, height());
        constexpr int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
        painter.drawItemText(area, flags, palette(), isEnabled(), text(), QPalette::WindowText);
        if (hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = fontMetrics().boundingRect(area, flags, text()).adjusted(-1, 0, 1, 0);
            painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
    }

    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
};

} // namespace

frmSelPapka::frmSelPapka(const QStringList &glyphRoots, QString &PapkaKartinok,
                         qint32 &ProverkaRazmerov, Platform &platform,
                         std::function<void()> openAndDraw, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_glyphRoots(glyphRoots), m_PapkaKartinok(PapkaKartinok),
      m_ProverkaRazmerov(ProverkaRazmerov), m_platform(platform),
      m_openAndDraw(std::move(openAndDraw))
{
    setObjectName(QStringLiteral("frmSelPapka"));
    setWindowTitle(QStringLiteral("Выбор папки"));
    // One row below the designed frame for "Создать из шрифта…".
    setFixedSize(312, 496);
    buildControls();
    Form_Load();
}

void frmSelPapka::buildControls()
{
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setGeometry(8, 0, 297, 364);

    chProverkaRazmerov = new WrappingCheckBox(
        QStringLiteral("Проверка размеров: будут загружены «0.gif» и «Пн.gif»"), this);
    chProverkaRazmerov->setObjectName(QStringLiteral("chProverkaRazmerov"));
    // Two lines of the bold window font need more than the designed 33 pixels; the room down
    // to the buttons is free.
    chProverkaRazmerov->setGeometry(16, 368, 289, 44);

    kOK = new QPushButton(QStringLiteral("OK"), this);
    kOK->setObjectName(QStringLiteral("kOK"));
    kOK->setGeometry(136, 416, 81, 33);
    kOK->setEnabled(false);
    kOK->setDefault(true);

    kNO = new QPushButton(QStringLiteral("Отмена"), this);
    kNO->setObjectName(QStringLiteral("kNO"));
    kNO->setGeometry(224, 416, 81, 33);

    setTabOrder(List1, chProverkaRazmerov);
    setTabOrder(chProverkaRazmerov, kOK);
    kShrift = new QPushButton(QStringLiteral("Создать из шрифта…"), this);
    kShrift->setObjectName(QStringLiteral("kShrift"));
    kShrift->setGeometry(8, 456, 297, 33);
    kShrift->setAutoDefault(false);

    setTabOrder(kOK, kNO);
    setTabOrder(kNO, kShrift);

    connect(List1, &QListWidget::itemSelectionChanged, this, &frmSelPapka::List1_Click);
    connect(List1, &QListWidget::itemDoubleClicked, this, &frmSelPapka::List1_DblClick);
    connect(kOK, &QPushButton::clicked, this, &frmSelPapka::kOK_Click);
    connect(kNO, &QPushButton::clicked, this, &frmSelPapka::kNO_Click);
    connect(kShrift, &QPushButton::clicked, this, &frmSelPapka::kShrift_Click);
}

void frmSelPapka::Form_Load()
{
    fillList(m_PapkaKartinok);
    // Any value other than 0 loads in size-check mode, so the box shows it as ticked.
    chProverkaRazmerov->setChecked(isSizeCheck(m_ProverkaRazmerov));
}

void frmSelPapka::fillList(const QString &selectName)
{
    List1->clear();
    int remembered = -1;
    for (const QString &name : glyphSetNamesIn(m_glyphRoots)) {
        List1->addItem(name);
        // Exact, case-sensitive: a folder differing only in case is a different set.
        if (name == selectName)
            remembered = List1->count() - 1;
    }
    if (remembered >= 0) {
        List1->setCurrentRow(remembered);
        List1->scrollToItem(List1->item(remembered));
    }
    kOK->setEnabled(!List1->selectedItems().isEmpty());
}

void frmSelPapka::List1_Click()
{
    kOK->setEnabled(true);
}

void frmSelPapka::List1_DblClick()
{
    if (!List1->selectedItems().isEmpty())
        kOK_Click();
}

void frmSelPapka::kOK_Click()
{
    const QList<QListWidgetItem *> selected = List1->selectedItems();
    if (selected.isEmpty())
        return;
    m_PapkaKartinok = selected.front()->text();
    // Out of the way before the load, which lets events run and may draw for a while.
    hide();
    m_platform.processEvents();
    m_ProverkaRazmerov = chProverkaRazmerov->isChecked() ? 1 : 0;
    if (m_openAndDraw)
        m_openAndDraw();
    done(QDialog::Accepted);
}

void frmSelPapka::kShrift_Click()
{
    frmShrift dialog(glyphSetsFolder(), m_platform, m_fontStyleMemory, this);
    if (m_platform.execDialog(dialog) != QDialog::Accepted || dialog.createdName().isEmpty())
        return;
    fillList(dialog.createdName());
    List1->setFocus();
}

void frmSelPapka::kNO_Click()
{
    reject();
}

} // namespace vexilo
