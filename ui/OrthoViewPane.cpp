#include "OrthoViewPane.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "QtText.h"

namespace {

// One notch of the wheel (120 eighths of a degree) zooms by this.
constexpr double kZoomPerNotch = 1.25;

}  // namespace

OrthoViewPane::OrthoViewPane(Document& doc, qx::ViewAxis axis, QWidget* parent) : QWidget(parent), doc_(doc)
{
    view_.axis = axis;
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    observer_ = doc_.Events.Observe([this](uint32_t changes) { Changed(changes); });
}

OrthoViewPane::~OrthoViewPane() { doc_.Events.Forget(observer_); }

void OrthoViewPane::Changed(uint32_t changes)
{
    if (changes & (qx::ObjectsChanged | qx::SessionChanged))
        stale_ = 2;
    else if (changes & qx::MapChanged)
        stale_ = std::max(stale_, 1);
    if (changes & (qx::ObjectsChanged | qx::SessionChanged | qx::MapChanged | qx::SelectionChanged |
                   qx::CursorChanged))
        update();
}

void OrthoViewPane::KeepTableCurrent()
{
    if (stale_ == 2)
        table_.Rebuild(doc_);
    else if (stale_ == 1)
        table_.Refresh(doc_);
    stale_ = 0;
}

void OrthoViewPane::CentreOnSelection()
{
    KeepTableCurrent();
    view_.CentreOn(qx::ViewTarget(doc_, table_, doc_.Selection));
    update();
}

void OrthoViewPane::ShowCamera(const double position[3], const double direction[3])
{
    bool same = camera_.shown;
    for (int k = 0; k < 3; ++k) {
        same = same && camera_.position[k] == position[k] && camera_.direction[k] == direction[k];
        camera_.position[k] = position[k];
        camera_.direction[k] = direction[k];
    }
    camera_.shown = true;
    if (!same)
        update();
}

void OrthoViewPane::paintEvent(QPaintEvent*)
{
    KeepTableCurrent();
    if (picture_.width() != view_.width || picture_.height() != view_.height)
        picture_ = QImage(view_.width, view_.height, QImage::Format_RGB32);
    painter_.Paint(picture_, doc_, view_, table_, camera_);
    QPainter(this).drawImage(0, 0, picture_);
}

void OrthoViewPane::resizeEvent(QResizeEvent*)
{
    // The centre stays where it was: the picture grows about it.
    view_.width = std::max(width(), 1);
    view_.height = std::max(height(), 1);
}

void OrthoViewPane::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0)
        return;
    view_.ZoomAbout(event->position().x(), event->position().y(), std::pow(kZoomPerNotch, notches));
    update();
    event->accept();
}

void OrthoViewPane::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton) {
        panning_ = true;
        panFrom_ = event->position();
        event->accept();
    }
}

void OrthoViewPane::mouseMoveEvent(QMouseEvent* event)
{
    if (!panning_)
        return;
    const QPointF moved = event->position() - panFrom_;
    panFrom_ = event->position();
    view_.Pan(moved.x(), moved.y());
    update();
}

void OrthoViewPane::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton)
        panning_ = false;
}

QString OrthoViewCaption(qx::ViewAxis axis)
{
    switch (axis) {
    case qx::ViewAxis::Top:
        return Ui("Сверху");
    case qx::ViewAxis::Front:
        return Ui("Спереди");
    case qx::ViewAxis::Side:
        return Ui("Сбоку");
    }
    return {};
}

OrthoViewPane* CreateOrthoViewPane(Document& doc, qx::ViewAxis axis, QWidget* parent)
{
    return new OrthoViewPane(doc, axis, parent);
}
