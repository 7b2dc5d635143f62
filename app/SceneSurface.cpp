#include "SceneSurface.h"

#include <QMouseEvent>

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

void SceneSurface::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = DevicePoint(*this, *event);
    emit mouseDown(event->button(), p.x(), p.y());
}

void SceneSurface::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = DevicePoint(*this, *event);
    emit mouseMove(p.x(), p.y());
}

void SceneSurface::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = DevicePoint(*this, *event);
    emit mouseUp(event->button(), p.x(), p.y());
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
