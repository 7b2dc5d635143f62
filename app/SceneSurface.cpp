#include "SceneSurface.h"

#include <QMouseEvent>

SceneSurface::SceneSurface(QWindow* parent) : QWindow(parent)
{
    setSurfaceType(QSurface::OpenGLSurface);
}

void SceneSurface::mousePressEvent(QMouseEvent* event)
{
    QPoint p = event->position().toPoint();
    emit mouseDown(event->button(), p.x(), p.y());
}

void SceneSurface::mouseMoveEvent(QMouseEvent* event)
{
    QPoint p = event->position().toPoint();
    emit mouseMove(p.x(), p.y());
}

void SceneSurface::mouseReleaseEvent(QMouseEvent* event)
{
    QPoint p = event->position().toPoint();
    emit mouseUp(event->button(), p.x(), p.y());
    // A click is a press and release of the left button inside the panel.
    if (event->button() == Qt::LeftButton && QRect(QPoint(0, 0), size()).contains(p))
        emit clicked();
}

void SceneSurface::mouseDoubleClickEvent(QMouseEvent* event)
{
    QPoint p = event->position().toPoint();
    emit mouseDown(event->button(), p.x(), p.y());
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}
