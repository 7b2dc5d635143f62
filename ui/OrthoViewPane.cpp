#include "OrthoViewPane.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "DocumentSteps.h"
#include "QX3DObject.h"
#include "QtText.h"
#include "Text1251.h"

namespace {

// One notch of the wheel (120 eighths of a degree) zooms by this.
constexpr double kZoomPerNotch = 1.25;

}  // namespace

OrthoViewPane::OrthoViewPane(Document& doc, qx::ViewAxis axis, QWidget* parent) : QWidget(parent), doc_(doc)
{
    view_.axis = axis;
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    observer_ = doc_.Events.Observe([this](uint32_t changes) { Changed(changes); });
}

OrthoViewPane::~OrthoViewPane() { doc_.Events.Forget(observer_); }

void OrthoViewPane::Changed(uint32_t changes)
{
    if (changes & (qx::ObjectsChanged | qx::SessionChanged | qx::PendingChanged))
        painter_.ForgetObjectView();
    if (changes & (qx::ObjectsChanged | qx::SessionChanged))
        stale_ = kStaleAll;
    else if ((changes & qx::SelectionMoved) && stale_ == kCurrent)
        stale_ = kStaleSelection;
    else if ((changes & qx::MapChanged) || ((changes & qx::SelectionChanged) && stale_ == kStaleSelection))
        stale_ = std::max(stale_, static_cast<int>(kStalePlacements));  // the moved ones may be selected no more
    if (changes & (qx::ObjectsChanged | qx::SessionChanged | qx::PendingChanged | qx::MapChanged | qx::SelectionChanged |
                   qx::CursorChanged))
        update();
}

void OrthoViewPane::KeepTableCurrent()
{
    if (stale_ == kStaleAll)
        table_.Rebuild(doc_);
    else if (stale_ == kStalePlacements)
        table_.Refresh(doc_);
    else if (stale_ == kStaleSelection)
        table_.Update(doc_, qx::SelectedIndices(doc_, doc_.Selection));
    stale_ = kCurrent;
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
    // Painted in device pixels, so that a scaled screen shows it sharp; the
    // view itself (and every mouse position) stays in logical pixels.
    const double ratio = devicePixelRatioF();
    qx::OrthoView device = view_;
    device.width = std::max(1, static_cast<int>(std::lround(view_.width * ratio)));
    device.height = std::max(1, static_cast<int>(std::lround(view_.height * ratio)));
    device.zoom = view_.zoom * ratio;
    if (picture_.width() != device.width || picture_.height() != device.height)
        picture_ = QImage(device.width, device.height, QImage::Format_RGB32);
    picture_.setDevicePixelRatio(1);
    painter_.Paint(picture_, doc_, device, table_, camera_);
    picture_.setDevicePixelRatio(ratio);
    QPainter paint(this);
    paint.drawImage(0, 0, picture_);
    if (band_) {
        paint.setPen(QPen(QColor(255, 140, 0), 1, Qt::DashLine));
        paint.drawRect(QRectF(pressAt_, bandTo_).normalized());
    }
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
    if (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && spaceHeld_)) {
        panning_ = event->button();
        panFrom_ = event->position();
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton || (doc_.ModelEditMode && !Shaping()))
        return;
    KeepTableCurrent();
    const QPointF at = event->position();
    pressAt_ = at;
    band_ = false;
    pressed_ = true;
    if (doc_.ModelEditMode) {
        event->accept();
        return;
    }
    // A press on a selected placement drags the selection; elsewhere it
    // picks, or draws a rectangle once the mouse moves.
    const std::string chosen = doc_.ObjectTree.CurrentText();
    if (chosen.empty() || chosen[0] != '_') {
        for (const int32_t i : qx::PlacementsUnder(table_, view_, at.x(), at.y()))
            if (qx::IsSelected(doc_.Selection, doc_.PlacementId(i)) &&
                qx::BeginPlaneDrag(doc_, view_, at.x(), at.y(), drag_))
                break;
    }
    event->accept();
}

void OrthoViewPane::mouseMoveEvent(QMouseEvent* event)
{
    if (MouseAt) {
        double world[3];
        view_.ScreenToWorld(event->position().x(), event->position().y(),
                            qx::ClickDepth(doc_, view_.axis, WorkingLevel ? WorkingLevel() : 0.0), world);
        MouseAt(world);
    }
    if (panning_) {
        const QPointF moved = event->position() - panFrom_;
        panFrom_ = event->position();
        view_.Pan(moved.x(), moved.y());
        update();
        return;
    }
    if (!pressed_)
        return;
    if (drag_.active) {
        qx::DragInPlane(doc_, event->position().x(), event->position().y(), drag_);
        return;
    }
    const std::string chosen = doc_.ObjectTree.CurrentText();
    const QPointF d = event->position() - pressAt_;
    const bool rectangles = doc_.ModelEditMode ? ShapesByRectangle() : chosen.empty() || chosen[0] != '_';
    if (!band_ && rectangles && std::abs(d.x()) + std::abs(d.y()) > 3)
        band_ = true;
    if (band_) {
        bandTo_ = event->position();
        update();
    }
}

void OrthoViewPane::mouseReleaseEvent(QMouseEvent* event)
{
    if (panning_ && event->button() == panning_) {
        panning_ = Qt::NoButton;
        return;
    }
    if (event->button() != Qt::LeftButton || !pressed_)
        return;
    pressed_ = false;
    const QPointF at = event->position();
    if (drag_.active) {
        qx::EndPlaneDrag(doc_, drag_);
        return;
    }
    const double depth = qx::ClickDepth(doc_, view_.axis, WorkingLevel ? WorkingLevel() : 0.0);
    if (doc_.ModelEditMode) {
        // The part being shaped: a rectangle sets its extent, a click
        // locks it and the next commits it, as in the 3D view.
        if (band_) {
            band_ = false;
            qx::ShapePendingInView(doc_, view_, pressAt_.x(), pressAt_.y(), at.x(), at.y(), depth);
            update();
        } else if (Shaping()) {
            const int32_t list = doc_.EditedModel ? doc_.EditedModel->CurrentList : 0;
            const qx::PartRef made = qx::ClickPendingInView(doc_, view_, at.x(), at.y(), depth, list);
            if (made && PartMade)
                PartMade(made);
        }
        return;
    }
    if (band_) {
        band_ = false;
        const bool touching = event->modifiers() & Qt::AltModifier;
        qx::SetSelection(doc_, qx::SelectInRect(doc_, table_, view_, pressAt_.x(), pressAt_.y(), at.x(), at.y(),
                                                 touching));
        update();
        return;
    }
    const std::string chosen = doc_.ObjectTree.CurrentText();
    if (!chosen.empty() && chosen[0] == '_') {
        // Placing: the object (or the player start) goes to the grid point
        // under the mouse, the third coordinate from the working level.
        if (chosen == Cp("_Игрок"))
            qx::MovePlayerStartInView(doc_, view_, at.x(), at.y(), depth);
        else
            qx::PlaceInView(doc_, view_, chosen, at.x(), at.y(), depth);
        return;
    }
    const int32_t hit = qx::PickInView(doc_, table_, view_, at.x(), at.y(), cycle_);
    qx::SelectClicked(doc_, hit, event->modifiers() & Qt::ShiftModifier);
}

bool OrthoViewPane::Shaping() const { return doc_.ModelEditMode && doc_.Placing && doc_.PrimIndex >= 0; }

bool OrthoViewPane::ShapesByRectangle() const
{
    return Shaping() && (doc_.PendingKind == ShapeKind::Box || doc_.PendingKind == ShapeKind::Floor ||
                         doc_.PendingKind == ShapeKind::Wall);
}

void OrthoViewPane::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Space)
        return QWidget::keyPressEvent(event);
    spaceHeld_ = true;
    event->accept();
}

void OrthoViewPane::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Space)
        return QWidget::keyReleaseEvent(event);
    // A held key's repeats come as a release and a press.
    if (!event->isAutoRepeat())
        spaceHeld_ = false;
    event->accept();
}

void OrthoViewPane::focusOutEvent(QFocusEvent* event)
{
    // The release goes elsewhere once the focus has left.
    spaceHeld_ = false;
    QWidget::focusOutEvent(event);
}

void OrthoViewPane::leaveEvent(QEvent*)
{
    if (MouseAt)
        MouseAt(nullptr);
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
