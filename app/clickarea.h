#pragma once

#include <QPixmap>
#include <QWidget>

#include <optional>

// An invisible click area laid over the picture band (a caption-less transparent
// label or a picture-less image area), or the band itself when it has a picture.
// It takes clicks even though nothing of it is drawn.
class ClickArea : public QWidget
{
    Q_OBJECT
public:
    explicit ClickArea(QWidget *parent = nullptr);

    // The picture in the file, shown at its natural size from the top-left corner.
    // Painted at a device pixel ratio above 1, it comes from the file's "@2x" twin
    // (band.jpg, band@2x.jpg), the same picture drawn twice as dense, when there is
    // one; the twin is read only when first needed.
    void setPicture(const QString &fileName);
    // The picture as painted at the given device pixel ratio.
    QPixmap picture(qreal devicePixelRatio = 1.0) const;

    // What a click with the mouse does, for the keyboard and assistive technology.
    void click() { emit clicked(); }

    // A command's area takes the focus from the keyboard only (Tab, Shift+Tab), never
    // from the mouse; Space and Enter then click it.
    void setKeyboardReachable();
    // Whether the focus frame is drawn over the area now.
    bool showsFocusFrame() const { return m_focusFrame; }

signals:
    void clicked();
    void mouseMoved();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QPixmap m_picture;
    QString m_sharpFile;
    mutable std::optional<QPixmap> m_sharp;
    bool m_pressed = false;
    bool m_focusFrame = false;
};
