#include "PictureBox.h"

#include "common/ImageMemory.h"
#include "holidays/MonthGridPainter.h"

#include <QMouseEvent>
#include <QPainter>

namespace vexilo {

PictureBox::PictureBox(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

PictureBox::PictureBox(int width, int height, QWidget *parent) : PictureBox(parent)
{
    m_image = blankPicture(width, height);
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

void PictureBox::setImage(QImage image)
{
    m_image = std::move(image);
    resize(m_image.size());
    update();
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    // The widget may be larger than its image for a moment: what lies beyond is white.
    painter.fillRect(event->rect(), Qt::white);
    painter.drawImage(event->rect().topLeft(), m_image, event->rect());
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
