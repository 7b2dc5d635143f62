// The picture of a 2D view, painted with QPainter from the document: the
// grid at the navigator's steps (lines closer than a few pixels left out,
// every eighth line stronger, the origin axes in the 3D view's axis
// colours), every placement part by part (each part's outline, its inside
// tinted; a placement too small on the screen to show its parts, as the
// outline of its bounds; the selected ones in the selection's colour), the
// player start, the 3D cursor and the 3D camera.  It reads, never changes, the document; the
// grid's scratch arrays are kept between pictures.
//
// The outlines are written into the image's pixels directly: QPainter
// spends about half a microsecond on each rectangle, and the whole
// benchmark level has 50,000 of them (33 ms a picture against 1 ms).  So
// that a picture never costs more than a moment, at most kPartBudget parts
// are drawn one by one, of the placements largest on the screen.
#pragma once

#include <QColor>
#include <QLineF>
#include <QRgb>

#include <cstdint>
#include <string>
#include <vector>

#include "Document.h"
#include "PartOutlines.h"
#include "ViewPick.h"

class QImage;
class QPainter;

// Where the 3D view looks from, shown in the 2D views.
struct OrthoCamera {
    bool shown = false;
    double position[3] = {0, 0, 0};
    double direction[3] = {0, 0, -1};
};

class OrthoPainter {
public:
    // Grid lines nearer each other than this (pixels) give way to every
    // eighth one.
    static constexpr double kMinGridPixels = 6;
    // A placement shows its parts from this size on the screen (pixels).
    static constexpr double kPartPixels = 12;
    static constexpr size_t kPartBudget = 10000;

    // Paints the view into `image` (32 bits a pixel, the view's size).
    void Paint(QImage& image, const Document& doc, const qx::OrthoView& view, const qx::PlacedBoundsTable& table,
               const OrthoCamera& camera);
    // The object view's parts are kept between pictures: its owner says
    // when the object open for editing or the part being shaped changed.
    void ForgetObjectView();

private:
    // A coordinate written beside a strong grid line, at the view's edge.
    struct Label {
        QPointF at;
        double value;
    };
    std::vector<Label> labels_;
    std::string labelText_;
    void PaintGrid(QPainter& painter, const Document& doc, const qx::OrthoView& view);
    void PaintPlacements(QImage& image, const Document& doc, const qx::OrthoView& view,
                         const qx::PlacedBoundsTable& table);
    // The object open for editing and the box being shaped, instead of
    // the map.
    void PaintObjectView(QImage& image, const Document& doc, const qx::OrthoView& view);
    void PaintParts(QImage& image, const qx::OrthoView& view, const qx::PartOutlines& parts, const qx::Affine& frame,
                    QRgb colour);
    void PaintMarks(QPainter& painter, const Document& doc, const qx::OrthoView& view, const OrthoCamera& camera);

    std::vector<QLineF> fineLines_, strongLines_;
    // Scratch of the placements drawn part by part, kept between pictures.
    struct Large {
        double size;
        size_t index;
    };
    std::vector<Large> large_;
    std::vector<bool> detailed_;
    std::vector<double> hull_;
    // The object view's parts: the open object's and the one being shaped.
    qx::PartOutlines edited_, pending_;
    bool objectViewKnown_ = false;
};

// The colour of world axis `axis` as the 3D view draws it.
QColor AxisColour(int axis);
