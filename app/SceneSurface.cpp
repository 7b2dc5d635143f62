#include "SceneSurface.h"

#include <QMouseEvent>

#include <cmath>
#include <utility>

#include "GLEngine.h"

namespace {

// The mouse arrives in logical pixels; the view is measured in device
// pixels, so that is the one unit past this boundary.
QPoint DevicePoint(const QWindow& window, const QMouseEvent& event)
{
    return (event.position() * window.devicePixelRatio()).toPoint();
}

}  // namespace

SceneSurface::SceneSurface(QWindow* parent) : QWindow(parent)
{
    setSurfaceType(QSurface::OpenGLSurface);
    // Before the window container creates the platform window.
    setFormat(SceneFormat());
}

constexpr qreal kDragDistance = 4;

void SceneSurface::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = DevicePoint(*this, *event);
    if (event->button() == Qt::LeftButton) {
        leftDown_ = true;
        dragging_ = false;
        pressAt_ = event->position();
    }
    emit mouseDown(event->button(), p.x(), p.y());
}

void SceneSurface::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = DevicePoint(*this, *event);
    emit mouseMove(p.x(), p.y());
    if (!leftDown_)
        return;
    const QPointF moved = event->position() - pressAt_;
    if (!dragging_ && std::hypot(moved.x(), moved.y()) > kDragDistance) {
        dragging_ = true;
        const QPoint start = (pressAt_ * devicePixelRatio()).toPoint();
        emit dragStarted(start.x(), start.y());
    }
    if (dragging_)
        emit dragMoved(p.x(), p.y());
}

void SceneSurface::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = DevicePoint(*this, *event);
    emit mouseUp(event->button(), p.x(), p.y());
    if (event->button() == Qt::LeftButton) {
        leftDown_ = false;
        if (std::exchange(dragging_, false)) {
            doubleClickPressed_ = false;
            emit dragEnded();
            return;
        }
    }
    // A click is a press and release of the left button inside the panel;
    // the release that ends a double click is not a second click (the
    // first press already gave one).
    const bool endsDoubleClick = std::exchange(doubleClickPressed_, false);
    if (event->button() == Qt::LeftButton && !endsDoubleClick &&
        QRect(QPoint(0, 0), size()).contains(event->position().toPoint()))
        emit clicked();
}

void SceneSurface::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint p = DevicePoint(*this, *event);
    emit mouseDown(event->button(), p.x(), p.y());
    if (event->button() == Qt::LeftButton) {
        doubleClickPressed_ = true;
        emit doubleClicked();
    }
}
