#pragma once

#include <QImage>
#include <QWidget>

namespace vexilo {

// A picture box that keeps its drawing: the image, not the widget, is what is drawn on,
// scrolled and saved; the widget paints it 1:1.
class Canvas : public QWidget
{
    Q_OBJECT
public:
    explicit Canvas(QWidget *parent = nullptr);

    QImage &image() { return m_image; }
    const QImage &image() const { return m_image; }

    // Resizes widget and image together and clears the image to white.
    void resizeAndClear(int width, int height);
    void clear();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
};

} // namespace vexilo
