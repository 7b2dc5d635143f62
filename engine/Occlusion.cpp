#include "Occlusion.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "VectorMath.h"

namespace qx {

namespace {

using Projected = OcclusionBuffer::Projected;

constexpr int kCell = 8;
// How far inside a quad's edges a pixel centre must lie to count covered,
// and how far outside a box's outline one may lie to count as the box's,
// in pixels: GL drivers snap corners to 1/256 of a pixel or finer.
constexpr double kInside = 1.0 / 32;
// How much nearer than a box a quad must be, in normalised device depth:
// some 16 steps of a 24-bit depth buffer, beyond the rounding of corners
// that differs between this code and the driver's.
constexpr float kDepthMargin = 2e-6f;
// An outline whose bounding rectangle holds at most this squared pixels is
// tested by that rectangle, a cell at a time: it holds a few pixels more than the outline
// (hides a little less), and costs far less than the outline's hull and
// rows.
constexpr double kSmallRect = 40;
// Twice the area in pixels below which a quad is left out: it covers too
// little to pay for its filling.
constexpr double kSmallest = 2;

// p under `clip` (projection x modelview) into the window; false when it
// lies behind the eye or nearer than the near plane.
bool Project(const float clip[16], const float p[3], int width, int height, Projected& out)
{
    float c[4];
    for (int r = 0; r < 4; ++r)
        c[r] = clip[r] * p[0] + clip[4 + r] * p[1] + clip[8 + r] * p[2] + clip[12 + r];
    if (!(c[3] > 0) || !(c[2] >= -c[3]))
        return false;
    const double inv = 1.0 / c[3];
    out.x = (c[0] * inv * 0.5 + 0.5) * width;
    out.y = (c[1] * inv * 0.5 + 0.5) * height;
    out.z = static_cast<float>(c[2] * inv);
    return true;
}

// The eight corners of `box` under `clip` as Project gives them (corner k
// adds edge a where bit a of k is set): its corner once, then each edge
// added; false when any lies behind the eye or nearer than the near plane.
bool ProjectBox(const float clip[16], const OrientedBox& box, int width, int height, Projected* out)
{
    float base[4], edge[3][4];
    for (int r = 0; r < 4; ++r) {
        base[r] = clip[r] * box.corner[0] + clip[4 + r] * box.corner[1] + clip[8 + r] * box.corner[2] + clip[12 + r];
        for (int a = 0; a < 3; ++a)
            edge[a][r] = clip[r] * box.edge[a][0] + clip[4 + r] * box.edge[a][1] + clip[8 + r] * box.edge[a][2];
    }
    const float halfWidth = 0.5f * static_cast<float>(width), halfHeight = 0.5f * static_cast<float>(height);
    for (int k = 0; k < 8; ++k) {
        float c[4];
        for (int r = 0; r < 4; ++r)
            c[r] = base[r] + ((k & 1) ? edge[0][r] : 0.0f) + ((k & 2) ? edge[1][r] : 0.0f) + ((k & 4) ? edge[2][r] : 0.0f);
        if (!(c[3] > 0) || !(c[2] >= -c[3]))
            return false;
        const float inv = 1.0f / c[3];
        out[k].x = static_cast<double>((c[0] * inv + 1.0f) * halfWidth);
        out[k].y = static_cast<double>((c[1] * inv + 1.0f) * halfHeight);
        out[k].z = c[2] * inv;
    }
    return true;
}

}  // namespace

OrientedBox AlongAxes(const float lo[3], const float hi[3])
{
    return {{lo[0], lo[1], lo[2]}, {{hi[0] - lo[0], 0, 0}, {0, hi[1] - lo[1], 0}, {0, 0, hi[2] - lo[2]}}};
}

OrientedBox Inset(const OrientedBox& box, float by)
{
    if (by == 0)
        return box;
    OrientedBox out = box;
    for (int a = 0; a < 3; ++a) {
        const float* e = box.edge[a];
        const double length = std::sqrt(double(e[0]) * e[0] + double(e[1]) * e[1] + double(e[2]) * e[2]);
        const double share = length > 2.0 * by ? by / length : 0.5;
        for (int r = 0; r < 3; ++r) {
            out.corner[r] += static_cast<float>(share * e[r]);
            out.edge[a][r] = static_cast<float>((1 - 2 * share) * e[r]);
        }
    }
    return out;
}

void OcclusionBuffer::Begin(const float projection[16], int width, int height)
{
    std::copy(projection, projection + 16, projection_);
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    columns_ = (width_ + kCell - 1) / kCell;
    rows_ = (height_ + kCell - 1) / kCell;
    // Eight layers cost more per cell than they save in a large window.
    layers_ = static_cast<int64_t>(width_) * height_ <= 512 * 512 ? kMostLayers : 3;
    constexpr Layer kEmpty{0, std::numeric_limits<float>::infinity()};
    cells_.assign(static_cast<size_t>(columns_) * static_cast<size_t>(rows_) * static_cast<size_t>(layers_), kEmpty);
    band_.assign(static_cast<size_t>(columns_), 0);
    need_.assign(static_cast<size_t>(columns_), 0);
    work_ = 0;
    bandFirst_ = columns_;
    bandLast_ = -1;
}

OcclusionBuffer::Placed OcclusionBuffer::Under(const float modelview[16]) const
{
    Placed out;
    MultiplyMatrices(projection_, modelview, out.clip);
    // The eye, -A^-1 t for the modelview's linear part A and translation t:
    // c holds A's cofactors, row by row, and A^-1 is their transpose / det.
    const float* m = modelview;
    const double c[9] = {double(m[5]) * m[10] - double(m[9]) * m[6], double(m[9]) * m[2] - double(m[1]) * m[10],
                         double(m[1]) * m[6] - double(m[5]) * m[2],  double(m[8]) * m[6] - double(m[4]) * m[10],
                         double(m[0]) * m[10] - double(m[8]) * m[2], double(m[4]) * m[2] - double(m[0]) * m[6],
                         double(m[4]) * m[9] - double(m[8]) * m[5],  double(m[8]) * m[1] - double(m[0]) * m[9],
                         double(m[0]) * m[5] - double(m[4]) * m[1]};
    const double det = m[0] * c[0] + m[4] * c[1] + m[8] * c[2];
    out.eyeKnown = std::isfinite(det) && det != 0;
    for (int r = 0; r < 3 && out.eyeKnown; ++r)
        out.eye[r] = static_cast<float>(-(c[r] * m[12] + c[3 + r] * m[13] + c[6 + r] * m[14]) / det);
    return out;
}

void OcclusionBuffer::AddQuads(const float modelview[16], std::span<const OccluderQuad> quads)
{
    AddQuads(Under(modelview), quads);
}

void OcclusionBuffer::AddQuads(const Placed& placed, std::span<const OccluderQuad> quads)
{
    const float* clip = placed.clip;
    for (const OccluderQuad& q : quads) {
        if (placed.eyeKnown) {
            // Seen from behind (its corners turn clockwise from outside):
            // GL culls it, and it need not be projected to know.
            const float* a = q.corner[0];
            const float u[3] = {q.corner[1][0] - a[0], q.corner[1][1] - a[1], q.corner[1][2] - a[2]};
            const float v[3] = {q.corner[2][0] - a[0], q.corner[2][1] - a[1], q.corner[2][2] - a[2]};
            const float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
            const float toEye = n[0] * (placed.eye[0] - a[0]) + n[1] * (placed.eye[1] - a[1]) + n[2] * (placed.eye[2] - a[2]);
            if (toEye > 0)
                continue;
        }
        Projected p[4];
        bool inView = true;
        for (int k = 0; k < 4 && inView; ++k)
            inView = Project(clip, q.corner[k], width_, height_, p[k]) && p[k].z <= 1;
        if (!inView)
            continue;
        double area = 0;
        for (int k = 0; k < 4; ++k)
            area += p[k].x * p[(k + 1) % 4].y - p[(k + 1) % 4].x * p[k].y;
        // Turned away (GL culls it), or too small to be worth filling.
        if (!(area < -kSmallest))
            continue;
        // Counter-clockwise from here on, the inside to the left of each edge.
        const double corners[4][2] = {{p[3].x, p[3].y}, {p[2].x, p[2].y}, {p[1].x, p[1].y}, {p[0].x, p[0].y}};
        Fill(corners, 4, std::max(std::max(p[0].z, p[1].z), std::max(p[2].z, p[3].z)));
    }
}

namespace {

// Calls span(y, first, last) for each pixel row y of the window whose
// centres from column first to last lie inside the convex polygon (n
// corners counter-clockwise, y up) by at least `inset` pixels (a negative
// inset takes in what lies that near outside), until span returns false;
// from the top row down when `downwards`.
template <typename Span>
void ForEachSpan(const double (*corners)[2], int n, double inset, int width, int height, bool downwards, Span&& span)
{
    // Each edge bounds a row's span on one side at x = at + slope * y, or
    // (level edges) keeps rows on one side of a height.
    double leftAt[8], leftSlope[8], rightAt[8], rightSlope[8];
    int lefts = 0, rights = 0;
    double top = corners[0][1], bottom = corners[0][1], below = 1e30, above = -1e30;
    for (int k = 0; k < n; ++k) {
        const double* a = corners[k];
        const double* b = corners[(k + 1) % n];
        // Inside: nx * x + ny * y + c >= reach.
        const double nx = a[1] - b[1], ny = b[0] - a[0];
        const double c = (b[1] - a[1]) * a[0] - (b[0] - a[0]) * a[1];
        const double reach = inset * std::sqrt(nx * nx + ny * ny);
        top = std::max(top, a[1]);
        bottom = std::min(bottom, a[1]);
        if (nx > 0) {
            leftAt[lefts] = (reach - c) / nx;
            leftSlope[lefts++] = -ny / nx;
        } else if (nx < 0) {
            rightAt[rights] = (reach - c) / nx;
            rightSlope[rights++] = -ny / nx;
        } else if (ny > 0) {
            above = std::max(above, (reach - c) / ny);  // y >= this
        } else if (ny < 0) {
            below = std::min(below, (reach - c) / ny);  // y <= this
        }
    }
    const double out = std::max(-inset, 0.0);
    const int firstRow = std::max(0, static_cast<int>(std::ceil(std::max(bottom - out, above) - 0.5)));
    const int lastRow = std::min(height - 1, static_cast<int>(std::floor(std::min(top + out, below) - 0.5)));
    for (int k = firstRow; k <= lastRow; ++k) {
        const int y = downwards ? lastRow + firstRow - k : k;
        const double yc = y + 0.5;
        double left = -1e30, right = 1e30;
        for (int k = 0; k < lefts; ++k)
            left = std::max(left, leftAt[k] + leftSlope[k] * yc);
        for (int k = 0; k < rights; ++k)
            right = std::min(right, rightAt[k] + rightSlope[k] * yc);
        const double first = std::ceil(left - 0.5), last = std::floor(right - 0.5);
        const int x0 = static_cast<int>(std::max(first, 0.0));
        const int x1 = static_cast<int>(std::min(last, static_cast<double>(width - 1)));
        if (x0 <= x1 && !span(y, x0, x1))
            return;
    }
}

// The convex hull of `count` points, counter-clockwise, into `hull` (room
// for 2 x count + 1 corners); returns its corners' count.
int ConvexHull(Projected* points, int count, double (*hull)[2])
{
    std::sort(points, points + count, [](const Projected& a, const Projected& b) {
        return a.x < b.x || (a.x == b.x && a.y < b.y);
    });
    const auto turn = [](const double* o, const double* a, const Projected& b) {
        return (a[0] - o[0]) * (b.y - o[1]) - (a[1] - o[1]) * (b.x - o[0]);
    };
    int n = 0;
    const auto add = [&](const Projected& p, int floor) {
        while (n >= floor && turn(hull[n - 2], hull[n - 1], p) <= 0)
            --n;
        hull[n][0] = p.x;
        hull[n][1] = p.y;
        ++n;
    };
    for (int i = 0; i < count; ++i)
        add(points[i], 2);
    const int lower = n + 1;
    for (int i = count - 2; i >= 0; --i)
        add(points[i], lower);
    return n - 1;  // the last corner is the first again
}

// Sets the bits of pixels x0..x1 of row y in a band's cells (one mask per
// column of cells), widening [first, last] to the columns touched; returns
// how many it touched.
uint64_t MarkRow(uint64_t* band, int y, int x0, int x1, int& first, int& last)
{
    const int shift = (y % kCell) * 8;
    for (int cx = x0 / kCell; cx <= x1 / kCell; ++cx) {
        const int from = std::max(x0 - cx * kCell, 0), to = std::min(x1 - cx * kCell, kCell - 1);
        band[cx] |= (((uint64_t{1} << (to - from + 1)) - 1) << from) << shift;
    }
    first = std::min(first, x0 / kCell);
    last = std::max(last, x1 / kCell);
    return static_cast<uint64_t>(x1 / kCell - x0 / kCell + 1);
}

}  // namespace

void OcclusionBuffer::AddBox(const Placed& placed, const OrientedBox& box)
{
    Projected points[8];
    if (!ProjectBox(placed.clip, box, width_, height_, points))
        return;
    float farthest = points[0].z;
    for (int k = 1; k < 8; ++k)
        farthest = std::max(farthest, points[k].z);
    if (!(farthest <= 1))
        return;
    double hull[17][2];
    const int corners = ConvexHull(points, 8, hull);
    double area = 0;
    for (int k = 0; k < corners; ++k)
        area += hull[k][0] * hull[(k + 1) % corners][1] - hull[(k + 1) % corners][0] * hull[k][1];
    // Counter-clockwise: a positive area; too small to be worth filling.
    if (corners < 3 || !(area > kSmallest))
        return;
    Fill(hull, corners, farthest);
}

void OcclusionBuffer::Fill(const double (*corners)[2], int count, float depth)
{
    bandDepth_ = depth;
    int band = -1;
    ForEachSpan(corners, count, kInside, width_, height_, false, [&](int y, int x0, int x1) {
        if (y / kCell != band) {
            if (band >= 0)
                Flush(band);
            band = y / kCell;
        }
        work_ += MarkRow(band_.data(), y, x0, x1, bandFirst_, bandLast_);
        return true;
    });
    if (band >= 0)
        Flush(band);
}

namespace {

// Grows with the distance from the eye about evenly for a perspective
// view (device depth crowds towards 1 far away): for comparing gaps.
double Spread(float depth) { return 1.0 / std::max(1.0 - depth, 1e-9); }

}  // namespace

void OcclusionBuffer::Flush(int band)
{
    for (int cx = bandFirst_; cx <= bandLast_; ++cx) {
        uint64_t& added = band_[static_cast<size_t>(cx)];
        if (added == 0)
            continue;
        Layer* cell = CellAt(band, cx);
        const int n = layers_;
        // One layer more, in its place by depth (the cell's are in order),
        // each mask holding the nearer ones'.
        Layer layers[kMostLayers + 1];
        int at = n;
        for (; at > 0 && !(cell[at - 1].depth <= bandDepth_); --at)
            layers[at] = cell[at - 1];
        layers[at] = Layer{added, bandDepth_};
        std::copy(cell, cell + at, layers);
        added = 0;
        for (int k = 1; k <= n; ++k)
            layers[k].mask |= layers[k - 1].mask;
        // One goes: a layer that covers no more than the one before it is
        // of no use; else the one nearest in depth to the one after it
        // merges into that.
        int drop = n;
        double closest = std::numeric_limits<double>::infinity();
        for (int k = 1; k <= n; ++k) {
            if (layers[k].mask == layers[k - 1].mask) {
                drop = k;
                break;
            }
            const double gap = Spread(layers[k].depth) - Spread(layers[k - 1].depth);
            if (gap < closest) {
                closest = gap;
                drop = k - 1;
            }
        }
        for (int k = 0, kept = 0; k <= n; ++k)
            if (k != drop)
                cell[kept++] = layers[k];
    }
    bandFirst_ = columns_;
    bandLast_ = -1;
}

uint64_t OcclusionBuffer::MaskBefore(const Layer* cell, float behind) const
{
    // The layers go from near to far: the last one nearer than `behind`
    // holds the masks of all before it.
    uint64_t mask = 0;
    for (int k = 0; k < layers_ && cell[k].depth < behind; ++k)
        mask = cell[k].mask;
    return mask;
}

bool OcclusionBuffer::RectCovered(const Projected* points, float behind, bool& small) const
{
    double x0 = points[0].x, x1 = x0, y0 = points[0].y, y1 = y0;
    for (int k = 1; k < 8; ++k) {
        x0 = std::min(x0, points[k].x), x1 = std::max(x1, points[k].x);
        y0 = std::min(y0, points[k].y), y1 = std::max(y1, points[k].y);
    }
    lastArea_ = (std::min(x1, double(width_)) - std::max(x0, 0.0)) * (std::min(y1, double(height_)) - std::max(y0, 0.0));
    lastArea_ = std::max(lastArea_, 0.0);
    small = lastArea_ <= kSmallRect * kSmallRect;
    if (!small)
        return false;
    // The pixels whose centres lie in the rectangle or a hair outside.
    const int left = std::max(0, static_cast<int>(std::ceil(x0 - kInside - 0.5)));
    const int right = std::min(width_ - 1, static_cast<int>(std::floor(x1 + kInside - 0.5)));
    const int bottom = std::max(0, static_cast<int>(std::ceil(y0 - kInside - 0.5)));
    const int top = std::min(height_ - 1, static_cast<int>(std::floor(y1 + kInside - 0.5)));
    // No pixel centre of the window in it: GL clips all of it away.
    if (left > right || bottom > top)
        return true;
    // From the top, where what shows over nearer things mostly lies.
    for (int cy = top / kCell; cy >= bottom / kCell; --cy) {
        const int r0 = std::max(bottom - cy * kCell, 0), r1 = std::min(top - cy * kCell, kCell - 1);
        const uint64_t rows = r1 < r0 ? 0 : ((r1 - r0 == 7 ? ~uint64_t{0} : (uint64_t{1} << ((r1 - r0 + 1) * 8)) - 1) << (r0 * 8));
        for (int cx = left / kCell; cx <= right / kCell; ++cx) {
            const int c0 = std::max(left - cx * kCell, 0), c1 = std::min(right - cx * kCell, kCell - 1);
            const uint64_t need = rows & ((((uint64_t{1} << (c1 - c0 + 1)) - 1) << c0) * 0x0101010101010101ull);
            ++work_;
            if ((need & ~MaskBefore(CellAt(cy, cx), behind)) != 0)
                return false;
        }
    }
    return true;
}

bool OcclusionBuffer::Hidden(const float modelview[16], const float lo[3], const float hi[3]) const
{
    return Hidden(Under(modelview), lo, hi);
}

bool OcclusionBuffer::Hidden(const Placed& placed, const float lo[3], const float hi[3]) const
{
    return Hidden(placed, AlongAxes(lo, hi));
}

bool OcclusionBuffer::Hidden(const Placed& placed, const OrientedBox& box) const
{
    lastArea_ = 0;
    Projected points[8];
    if (!ProjectBox(placed.clip, box, width_, height_, points))
        return false;
    float nearest = points[0].z;
    for (int k = 1; k < 8; ++k)
        nearest = std::min(nearest, points[k].z);
    const float behind = nearest - kDepthMargin;
    bool small = false;
    if (RectCovered(points, behind, small))
        return true;
    if (small)
        return false;
    double hull[17][2];
    const int corners = ConvexHull(points, 8, hull);
    if (corners < 3)
        return false;

    // The pixels a band of cells needs covered gather in need_, then each
    // cell's layers are looked at once.
    int band = -1, first = columns_, last = -1;
    const auto covered = [&] {
        for (int cx = first; cx <= last; ++cx) {
            uint64_t& need = need_[static_cast<size_t>(cx)];
            if ((need & ~MaskBefore(CellAt(band, cx), behind)) != 0) {
                std::fill(need_.begin() + cx, need_.begin() + last + 1, 0);
                return false;
            }
            need = 0;
        }
        first = columns_;
        last = -1;
        return true;
    };
    bool hidden = true;
    // Every pixel whose centre may lie inside, or a hair outside; from the
    // top, where what shows over nearer things mostly lies.
    ForEachSpan(hull, corners, -kInside, width_, height_, true, [&](int y, int x0, int x1) {
        if (y / kCell != band) {
            if (band >= 0 && !covered())
                return hidden = false;
            band = y / kCell;
        }
        work_ += MarkRow(need_.data(), y, x0, x1, first, last);
        return true;
    });
    if (hidden && band >= 0)
        hidden = covered();
    return hidden;
}

}  // namespace qx
