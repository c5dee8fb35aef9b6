// Writes the operators of a converted metafile: path construction, painting and the
// graphics state, each on its own line. The graphics state is written only when a
// shape is painted with a value that differs from the one already in force, so a
// metafile that selects pens and brushes it never uses costs nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "byte_buffer.h"
#include "content_line.h"

namespace tabulon::pdf {

struct WmfColour {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const WmfColour&) const = default;
};

// What a painted shape needs from the graphics state, in form units.
struct WmfStroke {
    WmfColour colour;
    float width = 0;     // 0: the thinnest line the device can draw
    std::string dash;    // the complete dash line, "[] 0 d" for solid
    int cap = 1;         // PDF line cap: 0 butt, 1 round, 2 projecting square
    int join = 1;        // PDF line join: 0 miter, 1 round, 2 bevel
};

class WmfContent {
public:
    explicit WmfContent(ByteBuffer& out) : out_(out) {}

    void moveTo(float x, float y);
    void lineTo(float x, float y);
    void rect(float x, float y, float w, float h);
    void closePath() { emit("h"); }
    // Cubic Bézier curves along the ellipse (cx + rx cos t, cy - ry sin t) from
    // parameter t0 to t1 (either direction), at most a quarter turn per curve. The
    // current point must be the ellipse point at t0.
    void arc(float cx, float cy, float rx, float ry, float t0, float t1);

    void useStroke(const WmfStroke& stroke);
    void useFill(WmfColour colour);
    // Paints the path built so far: fill and/or stroke; evenOdd picks the even-odd
    // fill rule. With neither, the path is discarded.
    void paint(bool fill, bool stroke, bool evenOdd);

    // False once an append failed for lack of memory.
    bool ok() const { return ok_; }

private:
    void emit(std::string_view line);
    void point(float x, float y);
    void colour(WmfColour colour, const char* op);

    ByteBuffer& out_;
    ContentLine line_;
    bool ok_ = true;
    // The state in force in the content stream (the PDF defaults at its start).
    WmfColour strokeColour_{};
    WmfColour fillColour_{};
    float width_ = 1.0f;
    std::string dash_ = "[] 0 d";
    int cap_ = 0;
    int join_ = 0;
};

}  // namespace tabulon::pdf
