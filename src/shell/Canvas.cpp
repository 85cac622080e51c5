#include "Canvas.h"

#include <QPaintEvent>
#include <QPainter>

namespace vexilo {

Canvas::Canvas(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
}

void Canvas::resizeAndClear(int width, int height)
{
    resize(width, height);
    m_image = QImage(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    m_image.fill(Qt::white);
    update();
}

void Canvas::clear()
{
    m_image.fill(Qt::white);
    update();
}

void Canvas::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    painter.drawImage(event->rect().topLeft(), m_image, event->rect());
}

} // namespace vexilo
