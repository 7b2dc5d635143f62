#include "OrthoPainter.h"

#include "NumberText.h"
#include "PartOutlines.h"
#include "PlacementPick.h"
#include "QX3DObject.h"
#include "PrimitiveList.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "MapEdits.h"

namespace {

const QColor kBackground(48, 48, 52);
const QColor kFineGrid(70, 70, 76);
const QColor kLabel(150, 150, 160);
const QColor kStrongGrid(100, 100, 110);
const QColor kPlacement(190, 190, 200);
// The 3D view's selection outlines.
const QColor kSelection(255, 140, 0);
const QColor kPlayer(80, 230, 80);
const QColor kCursor(255, 255, 255);
const QColor kCamera(90, 200, 255);

float GridStep(const EditSession& session, int axis)
{
    const float step = axis == 0 ? session.GridStepX : axis == 1 ? session.GridStepY : session.GridStepZ;
    return step > 0 ? step : 1;
}

}  // namespace

QColor AxisColour(int axis)
{
    return axis == 0 ? QColor(255, 0, 0) : axis == 1 ? QColor(0, 255, 0) : QColor(0, 0, 255);
}

void OrthoPainter::Paint(QImage& image, const Document& doc, const qx::OrthoView& view,
                         const qx::PlacedBoundsTable& table, const OrthoCamera& camera)
{
    {
        QPainter painter(&image);
        painter.fillRect(QRectF(0, 0, view.width, view.height), kBackground);
        PaintGrid(painter, doc, view);
    }
    if (doc.ModelEditMode)
        PaintObjectView(image, doc, view);
    else
        PaintPlacements(image, doc, view, table);
    QPainter painter(&image);
    PaintMarks(painter, doc, view, camera);
}

void OrthoPainter::PaintGrid(QPainter& painter, const Document& doc, const qx::OrthoView& view)
{
    fineLines_.clear();
    strongLines_.clear();
    labels_.clear();
    double leftR, topU, rightR, bottomU;
    view.ScreenToPlane(0, 0, leftR, topU);
    view.ScreenToPlane(view.width, view.height, rightR, bottomU);
    // Lines across the view at every step along one of its two directions.
    const auto lines = [&](qx::AxisDir dir, double lo, double hi, bool vertical) {
        double step = GridStep(doc, dir.axis);
        while (step * view.zoom < kMinGridPixels)
            step *= 8;
        const double first = std::ceil(lo / step), last = std::floor(hi / step);
        for (double n = first; n <= last; ++n) {
            const double at = n * step;
            const double pixel = vertical ? view.width / 2.0 + (at - view.centreRight) * view.zoom
                                          : view.height / 2.0 - (at - view.centreUp) * view.zoom;
            const QLineF line = vertical ? QLineF(pixel, 0, pixel, view.height) : QLineF(0, pixel, view.width, pixel);
            const bool strong = std::fmod(std::fabs(n), 8.0) == 0;
            (strong ? strongLines_ : fineLines_).push_back(line);
            // The strong lines' coordinates along the bottom and left edges.
            if (strong)
                labels_.push_back({vertical ? QPointF(pixel + 2, view.height - 3) : QPointF(2, pixel - 2),
                                   at * dir.sign});
        }
    };
    const qx::AxisDir right = qx::RightOf(view.axis), up = qx::UpOf(view.axis);
    lines(right, leftR, rightR, true);
    lines(up, bottomU, topU, false);
    painter.setPen(QPen(kFineGrid, 0));
    painter.drawLines(fineLines_.data(), static_cast<int>(fineLines_.size()));
    painter.setPen(QPen(kStrongGrid, 0));
    painter.drawLines(strongLines_.data(), static_cast<int>(strongLines_.size()));

    // The origin axes: the line where the right coordinate is 0 runs along
    // the up axis, and the other way round.
    const double originX = view.width / 2.0 - view.centreRight * view.zoom;
    const double originY = view.height / 2.0 + view.centreUp * view.zoom;
    painter.setPen(QPen(AxisColour(up.axis), 0));
    painter.drawLine(QLineF(originX, 0, originX, view.height));
    painter.setPen(QPen(AxisColour(right.axis), 0));
    painter.drawLine(QLineF(0, originY, view.width, originY));

    painter.setPen(kLabel);
    for (const Label& label : labels_) {
        labelText_.clear();
        AppendFloatToEditText(labelText_, static_cast<float>(label.value));
        painter.drawText(label.at, QString::fromLatin1(labelText_.data(), static_cast<qsizetype>(labelText_.size())));
    }
}

namespace {

// 32-bit pixels to write straight into, taken once per picture (every
// scanLine call of QImage checks whether the image is shared).
struct Pixels {
    QRgb* bits;
    qsizetype stride;
    int width, height;
};

// Pixels first .. last tinted an eighth of the way to `colour`.
void TintRow(QRgb* first, QRgb* last, QRgb colour)
{
    const int r = qRed(colour), g = qGreen(colour), b = qBlue(colour);
    for (QRgb* pixel = first; pixel <= last; ++pixel)
        *pixel = qRgb((qRed(*pixel) * 7 + r) >> 3, (qGreen(*pixel) * 7 + g) >> 3, (qBlue(*pixel) * 7 + b) >> 3);
}

// The outline of the rectangle between pixel corners (left, top) and
// (right, bottom), clipped to the picture.
// The inside of that rectangle tinted an eighth of the way to `colour`, so
// that what is placed reads as a shape, and overlaps as darker.
void Tint(const Pixels& to, double left, double top, double right, double bottom, QRgb colour)
{
    const int xa = std::max(static_cast<int>(std::floor(left)) + 1, 0);
    const int xb = std::min(static_cast<int>(std::floor(right)) - 1, to.width - 1);
    const int ya = std::max(static_cast<int>(std::floor(top)) + 1, 0);
    const int yb = std::min(static_cast<int>(std::floor(bottom)) - 1, to.height - 1);
    for (int y = ya; y <= yb; ++y)
        TintRow(to.bits + y * to.stride + xa, to.bits + y * to.stride + xb, colour);
}

void Outline(const Pixels& to, double left, double top, double right, double bottom, QRgb colour)
{
    const int x0 = static_cast<int>(std::floor(left)), x1 = static_cast<int>(std::floor(right));
    const int y0 = static_cast<int>(std::floor(top)), y1 = static_cast<int>(std::floor(bottom));
    const int xa = std::max(x0, 0), xb = std::min(x1, to.width - 1), ya = std::max(y0, 0),
              yb = std::min(y1, to.height - 1);
    if (xa > xb || ya > yb)
        return;
    for (const int y : {y0, y1})
        if (y >= 0 && y < to.height)
            std::fill(to.bits + y * to.stride + xa, to.bits + y * to.stride + xb + 1, colour);
    for (const int x : {x0, x1})
        if (x >= 0 && x < to.width)
            for (QRgb* pixel = to.bits + ya * to.stride + x; pixel <= to.bits + yb * to.stride + x; pixel += to.stride)
                *pixel = colour;
}

// Bounds as a tinted outline, the view's origin at pixel (x0, y0).
void PaintBounds(const Pixels& to, const qx::OrthoView& view, qx::AxisDir right, qx::AxisDir up, double x0,
                 double y0, const qx::Bounds& b, QRgb colour)
{
    if (b.empty)
        return;
    double rLo, rHi, uLo, uHi;
    qx::SpanAlong(b, right, rLo, rHi);
    qx::SpanAlong(b, up, uLo, uHi);
    const double left = x0 + rLo * view.zoom, top = y0 - uHi * view.zoom;
    const double rightEdge = x0 + rHi * view.zoom, bottom = y0 - uLo * view.zoom;
    Tint(to, left, top, rightEdge, bottom, colour);
    Outline(to, left, top, rightEdge, bottom, colour);
}

// The segment, clipped to the picture (Liang and Barsky), pixel by pixel.
void Line(const Pixels& to, double xa, double ya, double xb, double yb, QRgb colour)
{
    double t0 = 0, t1 = 1;
    const double dx = xb - xa, dy = yb - ya;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {xa + 1, to.width + 1 - xa, ya + 1, to.height + 1 - ya};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0)
                return;
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (!(t0 <= t1))
        return;
    const double x0 = xa + t0 * dx, y0 = ya + t0 * dy, x1 = xa + t1 * dx, y1 = ya + t1 * dy;
    const int steps = static_cast<int>(std::ceil(std::max(std::fabs(x1 - x0), std::fabs(y1 - y0))));
    for (int i = 0; i <= steps; ++i) {
        const double t = steps > 0 ? static_cast<double>(i) / steps : 0;
        const int x = static_cast<int>(std::floor(x0 + (x1 - x0) * t));
        const int y = static_cast<int>(std::floor(y0 + (y1 - y0) * t));
        if (x >= 0 && x < to.width && y >= 0 && y < to.height)
            to.bits[y * to.stride + x] = colour;
    }
}

// A convex polygon, (x, y) pairs in turn, as a tinted outline: its inside
// row by row (the pixel centres between its edges), then its edges.  Two
// pairs make a line (a flat part seen edge on).
void PaintHull(const Pixels& to, const std::vector<double>& xy, QRgb colour)
{
    const size_t n = xy.size() / 2;
    if (n == 0)
        return;
    double top = xy[1], bottom = xy[1];
    for (size_t i = 1; i < n; ++i) {
        top = std::min(top, xy[2 * i + 1]);
        bottom = std::max(bottom, xy[2 * i + 1]);
    }
    const int ya = std::max(static_cast<int>(std::ceil(top - 0.5)), 0);
    const int yb = std::min(static_cast<int>(std::floor(bottom - 0.5)), to.height - 1);
    for (int y = ya; n >= 3 && y <= yb; ++y) {
        const double centre = y + 0.5;
        double lo = HUGE_VAL, hi = -HUGE_VAL;
        for (size_t i = 0; i < n; ++i) {
            const double x1 = xy[2 * i], y1 = xy[2 * i + 1];
            const double x2 = xy[2 * ((i + 1) % n)], y2 = xy[2 * ((i + 1) % n) + 1];
            if ((y1 <= centre) == (y2 <= centre))
                continue;
            const double x = x1 + (centre - y1) * (x2 - x1) / (y2 - y1);
            lo = std::min(lo, x);
            hi = std::max(hi, x);
        }
        const int xa = std::max(static_cast<int>(std::ceil(lo - 0.5)), 0);
        const int xb = std::min(static_cast<int>(std::floor(hi - 0.5)), to.width - 1);
        TintRow(to.bits + y * to.stride + xa, to.bits + y * to.stride + xb, colour);
    }
    for (size_t i = 0; i < n; ++i)
        Line(to, xy[2 * i], xy[2 * i + 1], xy[2 * ((i + 1) % n)], xy[2 * ((i + 1) % n) + 1], colour);
}

Pixels PixelsOf(QImage& image)
{
    return {reinterpret_cast<QRgb*>(image.bits()), image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb)),
            image.width(), image.height()};
}

}  // namespace

void OrthoPainter::PaintParts(QImage& image, const qx::OrthoView& view, const qx::PartOutlines& parts,
                              const qx::Affine& frame, QRgb colour)
{
    const Pixels to = PixelsOf(image);
    for (const qx::PartOutlines::Part& part : parts.parts) {
        qx::HullInView(view, frame, parts.PointsOf(part), hull_);
        PaintHull(to, hull_, colour);
    }
}

void OrthoPainter::PaintPlacements(QImage& image, const Document& doc, const qx::OrthoView& view,
                                   const qx::PlacedBoundsTable& table)
{
    const size_t count = std::min(table.placements.size(), static_cast<size_t>(std::max(doc.PlacementCount, 0)));
    const qx::AxisDir right = qx::RightOf(view.axis), up = qx::UpOf(view.axis);
    const double x0 = view.width / 2.0 - view.centreRight * view.zoom;
    const double y0 = view.height / 2.0 + view.centreUp * view.zoom;
    const Pixels to = PixelsOf(image);

    // The placements large enough on the screen to show their parts, the
    // largest first while the parts stay within the budget; the others
    // show as the outline of their bounds, which is all a few pixels hold.
    detailed_.assign(count, false);
    large_.clear();
    for (size_t i = 0; i < count; ++i) {
        const qx::Bounds& b = table.placements[i];
        if (b.empty)
            continue;
        double rLo, rHi, uLo, uHi;
        qx::SpanAlong(b, right, rLo, rHi);
        qx::SpanAlong(b, up, uLo, uHi);
        const double size = std::max(rHi - rLo, uHi - uLo) * view.zoom;
        if (size >= kPartPixels && x0 + rHi * view.zoom >= 0 && x0 + rLo * view.zoom < view.width &&
            y0 - uLo * view.zoom >= 0 && y0 - uHi * view.zoom < view.height)
            large_.push_back({size, i});
    }
    std::sort(large_.begin(), large_.end(), [](const Large& a, const Large& b) { return a.size > b.size; });
    size_t parts = 0;
    for (const Large& large : large_) {
        const qx::PartOutlines* outlines = table.PartsOf(doc, large.index);
        if (!outlines || parts + outlines->parts.size() > kPartBudget)
            break;
        parts += outlines->parts.size();
        detailed_[large.index] = true;
    }

    const auto draw = [&](size_t i, QRgb colour) {
        const qx::PartOutlines* outlines = detailed_[i] ? table.PartsOf(doc, i) : nullptr;
        if (outlines)
            PaintParts(image, view, *outlines, qx::PlacementFrame(doc.Placements[i]), colour);
        else
            PaintBounds(to, view, right, up, x0, y0, table.placements[i], colour);
    };
    const QRgb plain = kPlacement.rgb(), chosen = kSelection.rgb();
    // Everything, then the selection over it, so that it is never hidden.
    for (size_t i = 0; i < count; ++i)
        draw(i, plain);
    for (const int32_t i : qx::SelectedIndices(doc, doc.Selection))
        if (static_cast<size_t>(i) < count)
            draw(static_cast<size_t>(i), chosen);
}

void OrthoPainter::PaintMarks(QPainter& painter, const Document& doc, const qx::OrthoView& view,
                              const OrthoCamera& camera)
{
    const double start[3] = {doc.PlayerPos[0], doc.PlayerPos[1], doc.PlayerPos[2]};
    double x, y;
    view.WorldToScreen(start, x, y);
    painter.setPen(QPen(kPlayer, 2));
    painter.drawEllipse(QPointF(x, y), 6, 6);
    painter.drawLine(QLineF(x - 9, y, x + 9, y));
    painter.drawLine(QLineF(x, y - 9, x, y + 9));

    view.WorldToScreen(doc.CursorWorld, x, y);
    painter.setPen(QPen(kCursor, 1));
    painter.drawLine(QLineF(x - 5, y - 5, x + 5, y + 5));
    painter.drawLine(QLineF(x - 5, y + 5, x + 5, y - 5));

    if (!camera.shown)
        return;
    view.WorldToScreen(camera.position, x, y);
    painter.setPen(QPen(kCamera, 2));
    painter.drawEllipse(QPointF(x, y), 4, 4);
    // The view direction as it lies in this plane; none when the camera
    // looks straight along the view's axis.
    const qx::AxisDir right = qx::RightOf(view.axis), up = qx::UpOf(view.axis);
    const double dx = camera.direction[right.axis] * right.sign, dy = -camera.direction[up.axis] * up.sign;
    const double length = std::hypot(dx, dy);
    if (length > 1e-6)
        painter.drawLine(QLineF(x, y, x + 28 * dx / length, y + 28 * dy / length));
}

void OrthoPainter::ForgetObjectView() { objectViewKnown_ = false; }

void OrthoPainter::PaintObjectView(QImage& image, const Document& doc, const qx::OrthoView& view)
{
    // Worked out once per change of the object view, not per picture (a
    // model's outline reads its whole mesh).
    if (!objectViewKnown_) {
        edited_ = doc.EditedModel ? qx::OutlinesOf(*doc.EditedModel) : qx::PartOutlines();
        pending_ = qx::PartOutlines();
        const TQX3DObject* pending = doc.PendingPrimitive;
        if (doc.Placing && pending && !pending->Lists.empty() && pending->Lists[0])
            qx::AddPartOutlines(*pending->Lists[0], pending_);
        objectViewKnown_ = true;
    }
    // The open object's parts at the origin, then the part being shaped
    // over them in the selection's colour (its list holds only it).
    PaintParts(image, view, edited_, qx::Affine(), kPlacement.rgb());
    PaintParts(image, view, pending_, qx::Affine(), kSelection.rgb());
}
