// The main window's sheet follows the mouse wheel and the keys through its scroll bars.
#include "frmForma.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace vexilo {

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

bool frmForma::scrollSheet(QEvent *event)
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

} // namespace vexilo
