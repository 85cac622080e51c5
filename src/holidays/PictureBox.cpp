#include "PictureBox.h"

#include "holidays/MonthGridPainter.h"

#include <QMouseEvent>
#include <QPainter>

namespace vexilo {

PictureBox::PictureBox(int width, int height, QWidget *parent)
    : QWidget(parent), m_image(blankPicture(width, height))
{
    setFixedSize(width, height);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), m_image, event->rect());
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
