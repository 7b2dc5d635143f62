// A 2D view pane ("Сверху", "Спереди", "Сбоку"): shows the document through
// OrthoPainter and navigates on its own (the wheel zooms about the pointer,
// a middle-button drag, or a left-button one with Space held, pans).  In the object view, a rectangle sets the
// extent of the box, floor or wall being shaped, and clicks lock and commit
// it as in the 3D view.  It listens to the document's notifications
// and keeps its bounds table current from them; it changes the document
// only through the document library's functions.
//
// The main window makes the panes with CreateOrthoViewPane and lays them
// out; the 3D camera is not part of the document, so the window passes it
// in with ShowCamera when it moves.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

#include "OrthoPainter.h"
#include "ViewEdits.h"
#include "ViewPick.h"

class OrthoViewPane : public QWidget {
public:
    OrthoViewPane(Document& doc, qx::ViewAxis axis, QWidget* parent = nullptr);
    ~OrthoViewPane() override;

    const qx::OrthoView& View() const { return view_; }
    // Centres on the selection, else on the whole level (a key, a menu).
    void CentreOnSelection();
    void ShowCamera(const double position[3], const double direction[3]);
    // The working level of the 3D view: the height a click in the top view
    // places at.
    std::function<double()> WorkingLevel;
    // Told the world point under the mouse as it moves over the view (the
    // coordinate along the view's axis from the working level), and null
    // when it leaves.
    std::function<void(const double* world)> MouseAt;
    // Told the part a click committed into the object open for editing.
    std::function<void(qx::PartRef part)> PartMade;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void Changed(uint32_t changes);
    void KeepTableCurrent();
    // A part is being shaped in the object view; one whose extent a
    // rectangle sets (a box, a floor, a wall).
    bool Shaping() const;
    bool ShapesByRectangle() const;

    Document& doc_;
    qx::OrthoView view_;
    qx::PlacedBoundsTable table_;
    // What the table misses, least first: the selected placements moved,
    // any placement may have, the objects changed too.
    enum Stale { kCurrent, kStaleSelection, kStalePlacements, kStaleAll };
    int stale_ = kStaleAll;
    OrthoPainter painter_;
    QImage picture_;  // the widget's size, painted by painter_
    OrthoCamera camera_;
    int observer_ = 0;
    // The button of a pan under way: the middle one, or the left one
    // pressed while Space is held.
    Qt::MouseButton panning_ = Qt::NoButton;
    bool spaceHeld_ = false;
    QPointF panFrom_;
    // The left button: a drag of the selection, a rectangle, or a click.
    bool pressed_ = false;
    bool band_ = false;
    QPointF pressAt_, bandTo_;
    qx::PlaneDrag drag_;
    qx::ViewPickCycle cycle_;
};

// The pane's caption: "Сверху", "Спереди" or "Сбоку".
QString OrthoViewCaption(qx::ViewAxis axis);
// A new pane of `axis` over `doc`, for the window's layout.
OrthoViewPane* CreateOrthoViewPane(Document& doc, qx::ViewAxis axis, QWidget* parent);
