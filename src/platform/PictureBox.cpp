#include "PictureBox.h"

#include "common/ImageMemory.h"

#include <QMouseEvent>
#include <QPainter>

namespace vexilo {

PictureBox::PictureBox(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

PictureBox::PictureBox(int width, int height, QWidget *parent) : PictureBox(parent)
{
    m_image = blankPicture(width, height, devicePixelRatioF());
    setFixedSize(width, height);
}

void PictureBox::resizeAndClear(int width, int height)
{
    resize(width, height);
    m_image = canvasBuffer({std::max(width, 0), std::max(height, 0)});
    m_image.fill(Qt::white);
    update();
}

void PictureBox::clear()
{
    m_image.fill(Qt::white);
    update();
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    // The widget may be larger than its image for a moment: what lies beyond is white.
    painter.fillRect(event->rect(), Qt::white);
    // The image may hold more pixels than the widget (a HiDPI picture): its source rectangle is
    // the widget's scaled by the image's ratio.
    const qreal ratio = m_image.devicePixelRatio();
    const QRectF source(QPointF(event->rect().topLeft()) * ratio,
                        QSizeF(event->rect().size()) * ratio);
    painter.drawImage(QRectF(event->rect()), m_image, source);
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    emit mousePressed(event->position());
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    emit mouseReleased(event->position());
}

} // namespace vexilo
