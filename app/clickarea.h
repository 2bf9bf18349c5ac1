#pragma once

#include <QPixmap>
#include <QWidget>

// An invisible click area laid over the picture band (a caption-less transparent
// label or a picture-less image area), or the band itself when it has a picture.
// It takes clicks even though nothing of it is drawn.
class ClickArea : public QWidget
{
    Q_OBJECT
public:
    explicit ClickArea(QWidget *parent = nullptr);

    void setPicture(const QPixmap &picture);
    QPixmap picture() const { return m_picture; }

    // What a click with the mouse does, for the keyboard and assistive technology.
    void click() { emit clicked(); }

signals:
    void clicked();
    void mouseMoved();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QPixmap m_picture;
    bool m_pressed = false;
};
