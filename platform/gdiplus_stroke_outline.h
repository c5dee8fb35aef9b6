// The area a stroke covers, as polygons to be filled. Strokes are drawn as filled
// outlines rather than with pens: the outline has the stroke's exact width at any
// resolution, where pen widths in GDI+ implementations are rounded to whole units
// (a 0.25 mm pen then draws a whole unit wide), and a filled polygon looks the same
// on the canvas and on paper.
#pragma once

#include <span>
#include <vector>

namespace tabulon::platform {

struct OutlinePoint {
    double x = 0.0;
    double y = 0.0;
};

using OutlinePolygon = std::vector<OutlinePoint>;

// The stroke of `width` along `figure` (closed: its last point joins its first),
// with flat ends and mitred corners: one rectangle for each segment and one wedge
// for each corner, beveled where the miter would reach further than twice the
// width from the corner. Every polygon turns the same way, so that filling them
// together with the nonzero winding rule gives their union, overlaps included. A
// box's outline is thus the frame between the box grown and shrunk by half the
// width; a width of 0 or less, or a figure of one point, covers nothing.
std::vector<OutlinePolygon> strokeOutline(std::span<const OutlinePoint> figure, bool closed, double width);

}  // namespace tabulon::platform
