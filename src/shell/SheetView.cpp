#include "SheetView.h"

#include "common/NumberText.h"
#include "compose/output/SheetRender.h"
#include "compose/sheet/Prokrutka.h"
#include "compose/sheet/SheetLayout.h"
#include "platform/PictureBox.h"

#include <QEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace vexilo {

namespace {

void fillBackground(QWidget *widget, QColor colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

SheetView::SheetView(const qint32 &KolRisunkov, QWidget *parent)
    : QFrame(parent), m_KolRisunkov(KolRisunkov)
{
    setObjectName(QStringLiteral("picControl"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    // Children of the viewport live in its inner area, inside the sunken border.
    picControlInner = new QWidget(this);
    picControlInner->setObjectName(QStringLiteral("picControlInner"));
    picControlInner->setGeometry(contentsRect());
    // Clicking the sheet gives it the keys that scroll it.
    picControlInner->setFocusPolicy(Qt::ClickFocus);
    picControlInner->installEventFilter(this);
    setViewportColour(QColor(128, 128, 128));
    // The canvases first, so the bars and the corner box stay above them.
    picRisunok.assign(kCanvasCount, nullptr);
    picRisunok[0] = new PictureBox(picControlInner);
    picRisunok[0]->setGeometry(0, 0, 544, 64);
    picRisunok[0]->hide();

    VScroll1 = new QScrollBar(Qt::Vertical, picControlInner);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setGeometry(96, 0, kBarSize, 81);
    VScroll1->hide();
    HScroll1 = new QScrollBar(Qt::Horizontal, picControlInner);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    HScroll1->setGeometry(0, 80, 81, kBarSize);
    HScroll1->hide();
    PctrUgol = new QWidget(picControlInner);
    PctrUgol->setObjectName(QStringLiteral("PctrUgol"));
    fillBackground(PctrUgol, QColor(192, 192, 192));
    PctrUgol->setGeometry(96, 80, kBarSize, kBarSize);
    PctrUgol->hide();

    connect(HScroll1, &QScrollBar::valueChanged, this, &SheetView::HScroll1_Change);
    connect(VScroll1, &QScrollBar::valueChanged, this, &SheetView::VScroll1_Change);
    HScroll1->installEventFilter(this);
    VScroll1->installEventFilter(this);
}

void SheetView::createCanvases()
{
    for (std::size_t k = 1; k < picRisunok.size(); ++k) {
        picRisunok[k] = new PictureBox(picControlInner);
        picRisunok[k]->setGeometry(picRisunok[0]->geometry());
        picRisunok[k]->hide();
    }
    for (std::size_t k = 0; k < picRisunok.size(); ++k) {
        picRisunok[k]->setObjectName(QStringLiteral("picRisunok%1").arg(k));
        picRisunok[k]->setFocusPolicy(Qt::ClickFocus);
        picRisunok[k]->resizeAndClear(picRisunok[k]->width(), picRisunok[k]->height());
        picRisunok[k]->installEventFilter(this);
    }
    VScroll1->raise();
    HScroll1->raise();
    PctrUgol->raise();
}

void SheetView::setViewportColour(QColor colour)
{
    fillBackground(this, colour);
    fillBackground(picControlInner, colour);
}

void SheetView::layoutInside()
{
    picControlInner->setGeometry(contentsRect());
    const int W = picControlInner->width();
    const int H = picControlInner->height();
    VScroll1->move(W - kBarSize, VScroll1->y());
    HScroll1->move(HScroll1->x(), H - kBarSize);
    PctrUgol->setGeometry(W - kBarSize, H - kBarSize, kBarSize, kBarSize);
}

void SheetView::placeCanvases(const SheetGeometry &geometry, bool yearSheet)
{
    m_tops.clear();
    m_pages.clear();
    if (yearSheet)
        ShagRisunkov = geometry.ShagRisunkov;
    for (std::size_t k = 0; k < picRisunok.size(); ++k) {
        PictureBox *box = picRisunok[k];
        if (qint64(k) <= geometry.KolRisunkov) {
            box->move(0, int(k) * ShagRisunkov);
            box->resizeAndClear(geometry.canvasWidth, geometry.canvasHeight);
            box->show();
        } else {
            hideCanvas(k);
        }
    }
}

void SheetView::hideCanvas(std::size_t k)
{
    PictureBox *box = picRisunok[k];
    // The canvases made for pages give their memory back; the six of the window keep theirs.
    if (k >= std::size_t(kCanvasCount))
        box->image() = QImage();
    else
        box->clear();
    box->hide();
}

void SheetView::placePages(const Sheet &sheet, bool yearSheet)
{
    // A period may have more rows than the window's six canvases, on one page too.
    if (sheet.request().view.described()) {
        placeCanvases(sheet.geometry(), yearSheet);
        return;
    }
    m_tops.clear();
    m_pages.clear();
    const auto gap = static_cast<qint64>(roundHalfEven(sheet.request().spacings.monthsY));
    qint64 pageTop = 0;
    std::vector<QSize> sizes;
    for (qint32 p = 0; p < sheet.pageCount(); ++p) {
        const Sheet page = sheet.onPage(p);
        const qint64 last = qint64(page.canvasCount() - 1) * page.canvasPitch();
        for (qint32 k = 0; k < page.canvasCount(); ++k) {
            m_tops.push_back(pageTop + qint64(k) * page.canvasPitch() - std::min<qint64>(0, last));
            sizes.push_back(page.canvasSize());
        }
        m_pages.emplace_back(page.canvasCount(), page.canvasPitch());
        pageTop += wholeSheetSize(page).height() + gap;
    }
    ShagRisunkov = sheet.canvasPitch();
    while (picRisunok.size() < m_tops.size()) {
        auto *box = new PictureBox(picControlInner);
        box->setObjectName(QStringLiteral("picRisunok%1").arg(picRisunok.size()));
        box->setFocusPolicy(Qt::ClickFocus);
        box->installEventFilter(this);
        box->stackUnder(VScroll1);
        picRisunok.push_back(box);
    }
    for (std::size_t k = 0; k < picRisunok.size(); ++k) {
        PictureBox *box = picRisunok[k];
        if (k < m_tops.size()) {
            box->move(0, static_cast<int>(m_tops[k]));
            box->resizeAndClear(sizes[k].width(), sizes[k].height());
            box->show();
        } else {
            hideCanvas(k);
        }
    }
}

void SheetView::drawPages(const Sheet &sheet)
{
    qint32 shown = 0;
    for (qint32 p = 0; p < sheet.pageCount(); ++p) {
        const Sheet page = sheet.onPage(p);
        for (qint32 k = 0; k < page.canvasCount() && shown < qint32(picRisunok.size());
             ++k, ++shown) {
            drawCanvasInParallel(page, canvas(shown)->image(), k);
            canvas(shown)->update();
        }
    }
}

std::vector<QImage> SheetView::images() const
{
    std::vector<QImage> images;
    for (qint32 k = 0; k <= lastCanvas(); ++k)
        images.push_back(canvas(k)->image());
    return images;
}

std::vector<DrawnCanvases> SheetView::drawnPages() const
{
    if (m_pages.empty())
        return {DrawnCanvases(images(), ShagRisunkov)};
    std::vector<DrawnCanvases> pages;
    qint32 next = 0;
    for (const auto &[count, pitch] : m_pages) {
        std::vector<QImage> canvases;
        for (qint32 k = 0; k < count; ++k)
            canvases.push_back(canvas(next++)->image());
        pages.emplace_back(std::move(canvases), pitch);
    }
    return pages;
}

bool SheetView::hasSheet() const
{
    return picRisunok[0]->isVisible();
}

qint32 SheetView::lastCanvas() const
{
    if (!m_tops.empty())
        return qint32(m_tops.size()) - 1;
    return std::clamp<qint32>(m_KolRisunkov, 0, kCanvasCount - 1);
}

qint64 SheetView::canvasTop(qint32 k) const
{
    return m_tops.empty() ? qint64(k) * ShagRisunkov : m_tops[static_cast<std::size_t>(k)];
}

void SheetView::takeKeysOf(QWidget *command)
{
    m_commands.push_back(command);
    command->installEventFilter(this);
}

void SheetView::takeFocus()
{
    picControlInner->setFocus();
}

void SheetView::Prokrutka()
{
    const int W = picControlInner->width();
    const int H = picControlInner->height();
    const qint32 kol = lastCanvas();
    const PictureBox *last = canvas(kol);
    qint64 bottom = canvasTop(kol) + last->height();
    int width = last->width();
    for (qint32 k = 0; k < kol && !m_tops.empty(); ++k) { // pages may differ
        bottom = std::max(bottom, canvasTop(k) + canvas(k)->height());
        width = std::max(width, canvas(k)->width());
    }
    const ScrollPlan plan = planScrollBars(W, H, width, bottom, picRisunok[0]->width());
    if (plan.horizontal) {
        HScroll1->setGeometry(0, H - kBarSize, plan.hWidth, kBarSize);
        HScroll1->setPageStep(plan.hWidth);
        HScroll1->setMaximum(plan.hMax);
        HScroll1->setSingleStep(plan.hSmall);
    }
    HScroll1->setValue(0);
    HScroll1->setVisible(plan.horizontal);
    if (plan.vertical) {
        VScroll1->setGeometry(W - kBarSize, 0, kBarSize, plan.vHeight);
        VScroll1->setPageStep(plan.vHeight);
        VScroll1->setMaximum(plan.vMax);
        VScroll1->setSingleStep(plan.vSmall);
    }
    VScroll1->setValue(0);
    VScroll1->setVisible(plan.vertical);
    PctrUgol->setVisible(plan.horizontal && plan.vertical);
}

void SheetView::HScroll1_Change(int value)
{
    for (qint32 k = 0; k <= lastCanvas(); ++k)
        canvas(k)->move(-value, canvas(k)->y());
}

void SheetView::VScroll1_Change(int value)
{
    for (qint32 k = 0; k <= lastCanvas(); ++k)
        canvas(k)->move(canvas(k)->x(), static_cast<int>(canvasTop(k) - value));
}

namespace {

// One notch of the wheel moves a bar by its small change; finer wheels move a share of it.
bool wheelBar(QScrollBar *bar, int delta)
{
    if (bar->isHidden() || delta == 0)
        return false;
    const qint64 step = qint64(delta) * bar->singleStep() / 120;
    bar->setValue(
        static_cast<int>(std::clamp<qint64>(bar->value() - step, bar->minimum(), bar->maximum())));
    return true;
}

bool triggerBar(QScrollBar *bar, QAbstractSlider::SliderAction action)
{
    if (bar->isHidden())
        return false;
    bar->triggerAction(action);
    return true;
}

} // namespace

bool SheetView::scrollSheet(QEvent *event)
{
    if (event->type() == QEvent::Wheel) {
        const auto *wheel = static_cast<QWheelEvent *>(event);
        const QPoint delta = wheel->angleDelta();
        // Shift turns the wheel sideways; a tilting wheel already is.
        if (wheel->modifiers() & Qt::ShiftModifier)
            return wheelBar(HScroll1, delta.x() != 0 ? delta.x() : delta.y());
        if (std::abs(delta.x()) > std::abs(delta.y()))
            return wheelBar(HScroll1, delta.x());
        return wheelBar(VScroll1, delta.y());
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->modifiers() & ~Qt::KeypadModifier)
        return false;
    // Home and End go to the ends of the sheet, or of the row when it is one screen high.
    QScrollBar *ends = VScroll1->isHidden() ? HScroll1 : VScroll1;
    switch (key->key()) {
    case Qt::Key_Up:
        return triggerBar(VScroll1, QAbstractSlider::SliderSingleStepSub);
    case Qt::Key_Down:
        return triggerBar(VScroll1, QAbstractSlider::SliderSingleStepAdd);
    case Qt::Key_Left:
        return triggerBar(HScroll1, QAbstractSlider::SliderSingleStepSub);
    case Qt::Key_Right:
        return triggerBar(HScroll1, QAbstractSlider::SliderSingleStepAdd);
    case Qt::Key_PageUp:
        return triggerBar(VScroll1, QAbstractSlider::SliderPageStepSub);
    case Qt::Key_PageDown:
        return triggerBar(VScroll1, QAbstractSlider::SliderPageStepAdd);
    case Qt::Key_Home:
        return triggerBar(ends, QAbstractSlider::SliderToMinimum);
    case Qt::Key_End:
        return triggerBar(ends, QAbstractSlider::SliderToMaximum);
    default:
        return false;
    }
}

bool SheetView::eventFilter(QObject *watched, QEvent *event)
{
    // The sheet: its canvases, or the viewport around them.
    const bool sheet = watched == picControlInner ||
                       std::find(picRisunok.begin(), picRisunok.end(), watched) != picRisunok.end();
    if (sheet && scrollSheet(event))
        return true;
    if (event->type() == QEvent::KeyPress &&
        std::find(m_commands.begin(), m_commands.end(), watched) != m_commands.end()) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            scrollSheet(event);
            return true; // never on to the next control
        default:
            break;
        }
    }
    // A scroll bar never keeps the focus: it goes on to the first canvas, or to the fallback
    // while nothing is drawn.
    if ((watched == HScroll1 || watched == VScroll1) && event->type() == QEvent::FocusIn) {
        if (hasSheet())
            picRisunok[0]->setFocus();
        else if (m_focusFallback != nullptr)
            m_focusFallback->setFocus();
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace vexilo
