#include "gdiplus_stroke_outline.h"

#include <cmath>

namespace tabulon::platform {

namespace {

// A miter reaches at most twice the width from its corner, as on the Linux desktop.
constexpr double kMiterLimit = 2.0;

struct Vector {
    double x;
    double y;
};

Vector operator-(OutlinePoint a, OutlinePoint b) { return {a.x - b.x, a.y - b.y}; }
OutlinePoint operator+(OutlinePoint p, Vector v) { return {p.x + v.x, p.y + v.y}; }
Vector operator*(Vector v, double k) { return {v.x * k, v.y * k}; }
double dot(Vector a, Vector b) { return a.x * b.x + a.y * b.y; }
double cross(Vector a, Vector b) { return a.x * b.y - a.y * b.x; }

// Twice the signed area; positive for one turning direction, negative for the other.
double signedArea(const OutlinePolygon& polygon)
{
    double area = 0.0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const OutlinePoint& a = polygon[i];
        const OutlinePoint& b = polygon[(i + 1) % polygon.size()];
        area += a.x * b.y - b.x * a.y;
    }
    return area;
}

void addTurningPositively(std::vector<OutlinePolygon>& polygons, OutlinePolygon polygon)
{
    const double area = signedArea(polygon);
    if (area == 0.0) return;
    if (area < 0.0) polygon = OutlinePolygon(polygon.rbegin(), polygon.rend());
    polygons.push_back(std::move(polygon));
}

struct Segment {
    OutlinePoint from;
    OutlinePoint to;
    Vector direction;  // unit length
    Vector normal;     // unit length, to the left of the direction
};

// The segments of the figure that have a length, in order.
std::vector<Segment> segmentsOf(std::span<const OutlinePoint> figure, bool closed)
{
    std::vector<Segment> segments;
    const std::size_t count = figure.size();
    const std::size_t last = closed ? count : count - 1;
    for (std::size_t i = 0; i < last; ++i) {
        const OutlinePoint from = figure[i];
        const OutlinePoint to = figure[(i + 1) % count];
        const Vector along = to - from;
        const double length = std::hypot(along.x, along.y);
        if (!(length > 0.0) || !std::isfinite(length)) continue;
        const Vector direction = along * (1.0 / length);
        segments.push_back({from, to, direction, {-direction.y, direction.x}});
    }
    return segments;
}

// The wedge that fills the outer side of the corner where `in` meets `out`.
void addCorner(std::vector<OutlinePolygon>& polygons, const Segment& in, const Segment& out, double half)
{
    const double turn = cross(in.direction, out.direction);
    if (std::abs(turn) < 1e-12) return;  // straight on, or straight back: nothing sticks out
    // The outer side is to the right of a left turn and to the left of a right turn.
    const double side = turn > 0.0 ? -half : half;
    const OutlinePoint corner = out.from;
    const OutlinePoint a = corner + in.normal * side;
    const OutlinePoint b = corner + out.normal * side;
    // The miter point lies on both offset edges: along the sum of the normals.
    const double cosine = dot(in.normal, out.normal);
    const Vector bisector{in.normal.x + out.normal.x, in.normal.y + out.normal.y};
    const Vector reach = bisector * (side / (1.0 + cosine));
    if (std::hypot(reach.x, reach.y) <= kMiterLimit * 2.0 * half) {
        addTurningPositively(polygons, {corner, a, corner + reach, b});
    } else {
        addTurningPositively(polygons, {corner, a, b});
    }
}

}  // namespace

std::vector<OutlinePolygon> strokeOutline(std::span<const OutlinePoint> figure, bool closed, double width)
{
    std::vector<OutlinePolygon> polygons;
    if (!(width > 0.0) || figure.size() < 2) return polygons;
    const double half = width / 2.0;
    const std::vector<Segment> segments = segmentsOf(figure, closed);
    for (const Segment& s : segments) {
        addTurningPositively(polygons, {s.from + s.normal * half, s.to + s.normal * half, s.to + s.normal * -half,
                                        s.from + s.normal * -half});
    }
    for (std::size_t i = 1; i < segments.size(); ++i) {
        addCorner(polygons, segments[i - 1], segments[i], half);
    }
    if (closed && segments.size() > 1) {
        addCorner(polygons, segments.back(), segments.front(), half);
    }
    return polygons;
}

}  // namespace tabulon::platform
