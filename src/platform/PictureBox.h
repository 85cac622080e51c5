#pragma once

#include <QImage>
#include <QWidget>

namespace vexilo {

// A picture box that keeps its drawing in an off-screen image and paints it 1:1, so what is
// drawn survives every repaint: the image, not the widget, is what is drawn on, scrolled and
// saved. Reports presses and releases of any mouse button.
class PictureBox : public QWidget
{
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);
    // A box of a fixed size, white.
    PictureBox(int width, int height, QWidget *parent = nullptr);

    QImage &image() { return m_image; }
    const QImage &image() const { return m_image; }

    // Resizes widget and image together and clears the image to white.
    void resizeAndClear(int width, int height);
    void clear();

signals:
    void mousePressed(QPointF position);
    void mouseReleased(QPointF position);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QImage m_image;
};

} // namespace vexilo
