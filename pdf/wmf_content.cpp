#include "wmf_content.h"

#include <cmath>

#include "pdf_format.h"

namespace tabulon::pdf {

namespace {

constexpr float kQuarterTurn = 1.5707964f;

}  // namespace

void appendFormNumber(std::string& text, float value)
{
    char digits[kMaxNumberText];
    int length = formatNumber(digits, value, 2);
    while (length > 0 && digits[length - 1] == '0') --length;
    if (length > 0 && digits[length - 1] == '.') --length;
    if (length == 2 && digits[0] == '-' && digits[1] == '0') length = 1, digits[0] = '0';
    text.append(digits, static_cast<std::size_t>(length));
}

void WmfContent::emit(const std::string& line)
{
    if (!ok_) return;
    if (!out_.append(line) || !out_.appendByte('\n')) ok_ = false;
}

void WmfContent::point(float x, float y)
{
    appendFormNumber(line_, x);
    line_ += ' ';
    appendFormNumber(line_, y);
}

void WmfContent::moveTo(float x, float y)
{
    line_.clear();
    point(x, y);
    line_ += " m";
    emit(line_);
}

void WmfContent::lineTo(float x, float y)
{
    line_.clear();
    point(x, y);
    line_ += " l";
    emit(line_);
}

void WmfContent::rect(float x, float y, float w, float h)
{
    line_.clear();
    point(x, y);
    line_ += ' ';
    point(w, h);
    line_ += " re";
    emit(line_);
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
        line_.clear();
        point(ax - alpha * rx * std::sin(a), ay - alpha * ry * std::cos(a));
        line_ += ' ';
        point(bx + alpha * rx * std::sin(b), by + alpha * ry * std::cos(b));
        line_ += ' ';
        point(bx, by);
        line_ += " c";
        emit(line_);
        a = b;
    }
}

void WmfContent::colour(WmfColour c, const char* op)
{
    line_.clear();
    line_ += formatNumber(c.r / 255.0f, 3);
    line_ += ' ';
    line_ += formatNumber(c.g / 255.0f, 3);
    line_ += ' ';
    line_ += formatNumber(c.b / 255.0f, 3);
    line_ += op;
    emit(line_);
}

void WmfContent::useStroke(const WmfStroke& stroke)
{
    if (!(stroke.colour == strokeColour_)) {
        colour(stroke.colour, " RG");
        strokeColour_ = stroke.colour;
    }
    if (stroke.width != width_) {
        line_.clear();
        appendFormNumber(line_, stroke.width);
        line_ += " w";
        emit(line_);
        width_ = stroke.width;
    }
    if (stroke.dash != dash_) {
        emit(stroke.dash);
        dash_ = stroke.dash;
    }
    if (stroke.cap != cap_) {
        emit(std::to_string(stroke.cap) + " J");
        cap_ = stroke.cap;
    }
    if (stroke.join != join_) {
        emit(std::to_string(stroke.join) + " j");
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
