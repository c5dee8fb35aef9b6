#include "wmf_content.h"

#include <algorithm>
#include <cmath>

namespace tabulon::pdf {

namespace {

constexpr float kQuarterTurn = 1.5707964f;

}  // namespace

void WmfContent::emit(std::string_view line)
{
    if (!ok_) return;
    if (!out_.append(line) || !out_.appendByte('\n')) ok_ = false;
}

void WmfContent::point(float x, float y)
{
    line_.shortNumber(x).put(' ').shortNumber(y);
}

void WmfContent::moveTo(float x, float y)
{
    line_.begin();
    point(x, y);
    emit(line_.put(" m").view());
}

void WmfContent::lineTo(float x, float y)
{
    line_.begin();
    point(x, y);
    emit(line_.put(" l").view());
}

void WmfContent::rect(float x, float y, float w, float h)
{
    line_.begin();
    point(x, y);
    line_.put(' ');
    point(w, h);
    emit(line_.put(" re").view());
}

void WmfContent::arc(float cx, float cy, float rx, float ry, float t0, float t1)
{
    const float sweep = t1 - t0;
    const int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / kQuarterTurn - 1e-4f)));
    const float step = sweep / static_cast<float>(pieces);
    // Tangent length of a Bézier curve that follows a circular arc of `step`.
    const float alpha = 4.0f / 3.0f * std::tan(step / 4.0f);
    float a = t0;
    for (int i = 0; i < pieces; ++i) {
        const float b = i + 1 == pieces ? t1 : a + step;
        const float ax = cx + rx * std::cos(a), ay = cy - ry * std::sin(a);
        const float bx = cx + rx * std::cos(b), by = cy - ry * std::sin(b);
        line_.begin();
        point(ax - alpha * rx * std::sin(a), ay - alpha * ry * std::cos(a));
        line_.put(' ');
        point(bx + alpha * rx * std::sin(b), by + alpha * ry * std::cos(b));
        line_.put(' ');
        point(bx, by);
        emit(line_.put(" c").view());
        a = b;
    }
}

void WmfContent::colour(WmfColour c, const char* op)
{
    line_.begin().number(c.r / 255.0f, 3).put(' ').number(c.g / 255.0f, 3).put(' ').number(c.b / 255.0f, 3);
    emit(line_.put(op).view());
}

void WmfContent::useStroke(const WmfStroke& stroke)
{
    if (!(stroke.colour == strokeColour_)) {
        colour(stroke.colour, " RG");
        strokeColour_ = stroke.colour;
    }
    if (stroke.width != width_) {
        emit(line_.begin().shortNumber(stroke.width).put(" w").view());
        width_ = stroke.width;
    }
    if (stroke.dash != dash_) {
        emit(stroke.dash);
        dash_ = stroke.dash;
    }
    if (stroke.cap != cap_) {
        emit(line_.begin().integer(stroke.cap).put(" J").view());
        cap_ = stroke.cap;
    }
    if (stroke.join != join_) {
        emit(line_.begin().integer(stroke.join).put(" j").view());
        join_ = stroke.join;
    }
}

void WmfContent::useFill(WmfColour c)
{
    if (c == fillColour_) return;
    colour(c, " rg");
    fillColour_ = c;
}

void WmfContent::paint(bool fill, bool stroke, bool evenOdd)
{
    if (fill && stroke) {
        emit(evenOdd ? "B*" : "B");
    } else if (fill) {
        emit(evenOdd ? "f*" : "f");
    } else if (stroke) {
        emit("S");
    } else {
        emit("n");
    }
}

}  // namespace tabulon::pdf
