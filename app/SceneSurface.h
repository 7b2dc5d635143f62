// The OpenGL surface of the Scene panel.  A QWindow of OpenGL type embedded
// in the main window through a window container; it forwards its mouse
// events to the main window's Scene handlers, positions in device pixels
// (the unit of the GL viewport and of the depth read-back).
#pragma once

#include <QWindow>

class SceneSurface : public QWindow {
    Q_OBJECT
public:
    explicit SceneSurface(QWindow* parent = nullptr);

signals:
    void mouseDown(Qt::MouseButton button, int x, int y);
    void mouseMove(int x, int y);
    void mouseUp(Qt::MouseButton button, int x, int y);
    void clicked();
    void doubleClicked();
    // A left press that moved more than four pixels (logical) is a drag,
    // never a click: it starts where the press was.
    void dragStarted(int x, int y);
    void dragMoved(int x, int y);
    void dragEnded();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool doubleClickPressed_ = false;
    bool leftDown_ = false;
    bool dragging_ = false;
    QPointF pressAt_;
};
