// Placeable Windows metafile to PDF form content.
//
// The file is a 22-byte placeable header (key D7 CD C6 9A, bounding box, units per
// inch), the 18-byte standard header, then records of (size in 16-bit words,
// function, parameters). Every record is checked against the end of the data before
// any of its parameters is read; a record shorter than three words or running past
// the end stops the conversion with code 13.
//
// Records that are drawn or change what is drawn:
//   SETWINDOWORG, SETWINDOWEXT, OFFSETWINDOWORG, SCALEWINDOWEXT: the window that is
//     mapped onto the bounding box. Without them the record coordinates are taken as
//     bounding-box units. Every map mode is treated this way (the viewport records
//     only describe the playback device, which the form's placement replaces).
//   CREATEPENINDIRECT: solid, dash, dot, dash-dot, dash-dot-dot, null and inside-frame
//     pens; the width (0 = one device pixel, drawn as the thinnest line), the colour,
//     and the end-cap and join bits of the style.
//   CREATEBRUSHINDIRECT: solid and hollow brushes; a hatched brush fills with its
//     colour (the hatch lines are not drawn).
//   CREATEFONTINDIRECT, CREATEPALETTE, CREATEPATTERNBRUSH, DIBCREATEPATTERNBRUSH,
//     CREATEREGION: take their object-table slot; a selected pattern brush fills
//     nothing.
//   SELECTOBJECT, DELETEOBJECT: pens and brushes are selected by value, so deleting a
//     selected object leaves the drawing state as it is.
//   SETPOLYFILLMODE: alternate (even-odd) or winding (non-zero) fills.
//   SAVEDC, RESTOREDC (relative and absolute): pen, brush, fill mode, window and
//     current position.
//   MOVETO, LINETO, POLYLINE: stroked with the pen.
//   POLYGON, POLYPOLYGON, RECTANGLE, ROUNDRECT, ELLIPSE, PIE, CHORD: filled with the
//     brush and stroked with the pen.
//   ARC: stroked. Arcs, pies and chords run counter-clockwise as seen on the page,
//     from the radial through the start point to the radial through the end point;
//     curves are cubic Béziers of at most a quarter turn.
//   EOF: ends the records (the end of the data does too).
// Every other record (text, bitmaps, regions, clipping, palettes, escapes and the
// embedded EMF comments, raster operations, colours for text and backgrounds, map
// modes and viewports) is stepped over by its size.
#include "wmf_converter.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "error_codes.h"
#include "wmf_content.h"

namespace tabulon::pdf {

namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::uint32_t kHeaderWords = 9;
constexpr float kPi = 3.14159265f;

// Record functions.
enum : std::uint32_t {
    kEof = 0x0000,
    kSaveDc = 0x001E,
    kSetPolyFillMode = 0x0106,
    kRestoreDc = 0x0127,
    kSelectObject = 0x012D,
    kDeleteObject = 0x01F0,
    kSetWindowOrg = 0x020B,
    kSetWindowExt = 0x020C,
    kOffsetWindowOrg = 0x020F,
    kLineTo = 0x0213,
    kMoveTo = 0x0214,
    kPolygon = 0x0324,
    kPolyline = 0x0325,
    kScaleWindowExt = 0x0410,
    kEllipse = 0x0418,
    kRectangle = 0x041B,
    kPolyPolygon = 0x0538,
    kRoundRect = 0x061C,
    kArc = 0x0817,
    kPie = 0x081A,
    kChord = 0x0830,
    kCreatePalette = 0x00F7,
    kDibCreatePatternBrush = 0x0142,
    kCreatePatternBrush = 0x01F9,
    kCreatePenIndirect = 0x02FA,
    kCreateFontIndirect = 0x02FB,
    kCreateBrushIndirect = 0x02FC,
    kCreateRegion = 0x06FF,
};

// Pen styles (low four bits), end caps and joins.
enum : std::uint32_t {
    kPsSolid = 0, kPsDash = 1, kPsDot = 2, kPsDashDot = 3, kPsDashDotDot = 4, kPsNull = 5,
    kPsStyleMask = 0x000F, kPsCapMask = 0x0F00, kPsCapSquare = 0x0100, kPsCapFlat = 0x0200,
    kPsJoinMask = 0xF000, kPsJoinBevel = 0x1000, kPsJoinMiter = 0x2000,
};
// Brush styles.
enum : std::uint32_t { kBsSolid = 0, kBsNull = 1, kBsHatched = 2 };
enum : std::uint32_t { kAlternate = 1, kWinding = 2 };

struct Pen {
    std::uint32_t style = kPsSolid;
    std::int32_t width = 0;  // logical units
    WmfColour colour{};
};

struct Brush {
    bool fills = true;
    WmfColour colour{255, 255, 255};
};

enum class SlotKind { Free, Pen, Brush, Other };
struct Slot {
    SlotKind kind = SlotKind::Free;
    Pen pen;
    Brush brush;
};

// What SaveDC keeps. The defaults are those of a fresh device context: black
// one-pixel pen, white brush, alternate fill.
struct DcState {
    Pen pen;
    Brush brush;
    std::uint32_t fillMode = kAlternate;
    float orgX = 0, orgY = 0, extX = 0, extY = 0;
    std::int32_t curX = 0, curY = 0;
};

// One record's parameters: 16-bit words, read with their bounds checked.
struct Params {
    Bytes bytes;
    std::size_t words() const { return bytes.size() / 2; }
    std::int32_t s(std::size_t i) const
    {
        std::int32_t v = 0;
        readS16LE(bytes, 2 * i, v);
        return v;
    }
    std::uint32_t u(std::size_t i) const
    {
        std::uint32_t v = 0;
        readU16LE(bytes, 2 * i, v);
        return v;
    }
    WmfColour colour(std::size_t i) const
    {
        return {bytes[2 * i], bytes[2 * i + 1], bytes[2 * i + 2]};
    }
};

class Converter {
public:
    Converter(WmfForm& form) : form_(form), content_(form.content) {}

    WmfResult run(Bytes data);

private:
    bool record(std::uint32_t function, const Params& p);
    bool drawRecord(std::uint32_t function, const Params& p);
    bool stateRecord(std::uint32_t function, const Params& p);
    void createObject(SlotKind kind, const Pen& pen, const Brush& brush);
    void restoreDc(std::int32_t which);

    float mapX(std::int32_t x) const { return form_.originX + (x - dc_.orgX) * scaleX(); }
    float mapY(std::int32_t y) const { return form_.originY + (y - dc_.orgY) * scaleY(); }
    float scaleX() const { return dc_.extX != 0 ? form_.width / dc_.extX : 1.0f; }
    float scaleY() const { return dc_.extY != 0 ? form_.height / dc_.extY : 1.0f; }

    bool hasPen() const { return (dc_.pen.style & kPsStyleMask) != kPsNull; }
    bool hasBrush() const { return dc_.brush.fills; }
    WmfStroke stroke() const;
    void beginClosed();
    void paintClosed();
    void beginOpen();
    void paintOpen();
    bool polyPoints(const Params& p, std::size_t first, std::size_t count, bool closed);
    void ellipseShape(std::uint32_t function, const Params& p);
    void roundRect(const Params& p);

    WmfForm& form_;
    WmfContent content_;
    DcState dc_;
    std::vector<DcState> saved_;
    std::vector<Slot> objects_;
    std::size_t firstFree_ = 0;
    std::string_view failure_;
};

WmfStroke Converter::stroke() const
{
    WmfStroke s;
    s.colour = dc_.pen.colour;
    const float pixel = static_cast<float>(form_.unitsPerInch) / kWmfDevicePixelsPerInch;
    s.width = std::fabs(static_cast<float>(dc_.pen.width) * scaleX());
    if (dc_.pen.width <= 0) s.width = 0;
    // Dash lengths follow the pen width, with one device pixel as the least unit;
    // thin pens use the device's own longer patterns.
    const bool thin = s.width <= pixel;
    const float u = thin ? pixel : s.width;
    auto dash = [&](std::initializer_list<float> lengths) {
        ContentLine line;
        line.put('[');
        bool first = true;
        for (float length : lengths) {
            if (!first) line.put(' ');
            line.shortNumber(length * u);
            first = false;
        }
        return line.put("] 0 d").str();
    };
    switch (dc_.pen.style & kPsStyleMask) {
    case kPsDash: s.dash = thin ? dash({18, 6}) : dash({3, 1}); break;
    case kPsDot: s.dash = thin ? dash({3, 3}) : dash({1, 1}); break;
    case kPsDashDot: s.dash = thin ? dash({9, 6, 3, 6}) : dash({3, 1, 1, 1}); break;
    case kPsDashDotDot: s.dash = thin ? dash({9, 3, 3, 3, 3, 3}) : dash({3, 1, 1, 1, 1, 1}); break;
    default: s.dash = "[] 0 d";
    }
    const std::uint32_t cap = dc_.pen.style & kPsCapMask;
    s.cap = cap == kPsCapSquare ? 2 : cap == kPsCapFlat ? 0 : 1;
    const std::uint32_t join = dc_.pen.style & kPsJoinMask;
    s.join = join == kPsJoinBevel ? 2 : join == kPsJoinMiter ? 0 : 1;
    return s;
}

// The graphics state goes before the path: no state operator may stand between
// a path's construction and its painting.
void Converter::beginClosed()
{
    if (hasPen()) content_.useStroke(stroke());
    if (hasBrush()) content_.useFill(dc_.brush.colour);
}

void Converter::paintClosed()
{
    content_.paint(hasBrush(), hasPen(), dc_.fillMode != kWinding);
    if (hasBrush() || hasPen()) ++form_.shapesDrawn;
}

void Converter::beginOpen() { content_.useStroke(stroke()); }

void Converter::paintOpen()
{
    content_.paint(false, true, false);
    ++form_.shapesDrawn;
}

// Adds the points p[first .. first + count) as one subpath.
bool Converter::polyPoints(const Params& p, std::size_t first, std::size_t count, bool closed)
{
    if (first + 2 * count > p.words()) return false;
    for (std::size_t i = 0; i < count; ++i) {
        const float x = mapX(p.s(first + 2 * i)), y = mapY(p.s(first + 2 * i + 1));
        if (i == 0) {
            content_.moveTo(x, y);
        } else {
            content_.lineTo(x, y);
        }
    }
    if (closed) content_.closePath();
    return true;
}

// ELLIPSE, ARC, PIE and CHORD: a bounding rectangle, and for the last three the
// points whose radials start and end the arc.
void Converter::ellipseShape(std::uint32_t function, const Params& p)
{
    const std::size_t r = function == kEllipse ? 0 : 4;  // index of the rectangle's bottom
    const float left = mapX(p.s(r + 3)), top = mapY(p.s(r + 2));
    const float right = mapX(p.s(r + 1)), bottom = mapY(p.s(r));
    const float cx = (left + right) / 2, cy = (top + bottom) / 2;
    const float rx = std::fabs(right - left) / 2, ry = std::fabs(bottom - top) / 2;
    if (rx == 0 || ry == 0) return;
    float t0 = 0, t1 = 2 * kPi;
    if (function != kEllipse) {
        // Parameter angles of the radials; on the page y grows downwards.
        t0 = std::atan2((cy - mapY(p.s(2))) / ry, (mapX(p.s(3)) - cx) / rx);
        t1 = std::atan2((cy - mapY(p.s(0))) / ry, (mapX(p.s(1)) - cx) / rx);
        if (t1 <= t0) t1 += 2 * kPi;
    }
    if (function == kArc && !hasPen()) return;
    if (function == kArc) {
        beginOpen();
    } else {
        beginClosed();
    }
    if (function == kPie) {
        content_.moveTo(cx, cy);
        content_.lineTo(cx + rx * std::cos(t0), cy - ry * std::sin(t0));
    } else {
        content_.moveTo(cx + rx * std::cos(t0), cy - ry * std::sin(t0));
    }
    content_.arc(cx, cy, rx, ry, t0, t1);
    if (function == kArc) {
        paintOpen();
    } else {
        content_.closePath();
        paintClosed();
    }
}

void Converter::roundRect(const Params& p)
{
    float left = mapX(p.s(5)), top = mapY(p.s(4)), right = mapX(p.s(3)), bottom = mapY(p.s(2));
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    const float rx = std::min(std::fabs(p.s(1) * scaleX()) / 2, (right - left) / 2);
    const float ry = std::min(std::fabs(p.s(0) * scaleY()) / 2, (bottom - top) / 2);
    beginClosed();
    if (rx == 0 || ry == 0) {
        content_.rect(left, top, right - left, bottom - top);
        paintClosed();
        return;
    }
    const float h = kPi / 2;
    content_.moveTo(left + rx, top);
    content_.lineTo(right - rx, top);
    content_.arc(right - rx, top + ry, rx, ry, h, 0);
    content_.lineTo(right, bottom - ry);
    content_.arc(right - rx, bottom - ry, rx, ry, 0, -h);
    content_.lineTo(left + rx, bottom);
    content_.arc(left + rx, bottom - ry, rx, ry, -h, -2 * h);
    content_.lineTo(left, top + ry);
    content_.arc(left + rx, top + ry, rx, ry, 2 * h, h);
    content_.closePath();
    paintClosed();
}

// Words of parameters each drawing or state record needs at least.
std::size_t minimumWords(std::uint32_t function)
{
    switch (function) {
    case kSetPolyFillMode: case kRestoreDc: case kSelectObject: case kDeleteObject:
    case kPolygon: case kPolyline: case kPolyPolygon: return 1;
    case kSetWindowOrg: case kSetWindowExt: case kOffsetWindowOrg: case kLineTo: case kMoveTo: return 2;
    case kScaleWindowExt: case kEllipse: case kRectangle: case kCreateBrushIndirect: return 4;
    case kCreatePenIndirect: return 5;
    case kRoundRect: return 6;
    case kArc: case kPie: case kChord: return 8;
    default: return 0;
    }
}

bool Converter::drawRecord(std::uint32_t function, const Params& p)
{
    switch (function) {
    case kMoveTo:
        dc_.curX = p.s(1), dc_.curY = p.s(0);
        return true;
    case kLineTo:
        if (hasPen()) {
            beginOpen();
            content_.moveTo(mapX(dc_.curX), mapY(dc_.curY));
            content_.lineTo(mapX(p.s(1)), mapY(p.s(0)));
            paintOpen();
        }
        dc_.curX = p.s(1), dc_.curY = p.s(0);
        return true;
    case kPolyline:
    case kPolygon: {
        const std::size_t count = p.u(0);
        if (1 + 2 * count > p.words()) return false;
        if (count < 2 || (function == kPolyline && !hasPen())) return true;
        if (function == kPolygon) {
            beginClosed();
        } else {
            beginOpen();
        }
        polyPoints(p, 1, count, function == kPolygon);
        if (function == kPolygon) {
            paintClosed();
        } else {
            paintOpen();
        }
        return true;
    }
    case kPolyPolygon: {
        const std::size_t polygons = p.u(0);
        if (1 + polygons > p.words()) return false;
        std::size_t next = 1 + polygons, drawn = 0;
        for (std::size_t i = 0; i < polygons; ++i) {
            const std::size_t count = p.u(1 + i);
            if (next + 2 * count > p.words()) return false;
            next += 2 * count;
            if (count >= 2) ++drawn;
        }
        if (drawn == 0) return true;
        beginClosed();
        next = 1 + polygons;
        for (std::size_t i = 0; i < polygons; ++i) {
            const std::size_t count = p.u(1 + i);
            if (next + 2 * count > p.words()) return false;
            if (count >= 2) polyPoints(p, next, count, true);
            next += 2 * count;
        }
        paintClosed();
        return true;
    }
    case kRectangle: {
        const float left = mapX(p.s(3)), top = mapY(p.s(2));
        beginClosed();
        content_.rect(left, top, mapX(p.s(1)) - left, mapY(p.s(0)) - top);
        paintClosed();
        return true;
    }
    case kRoundRect: roundRect(p); return true;
    case kEllipse: case kArc: case kPie: case kChord: ellipseShape(function, p); return true;
    default: return stateRecord(function, p);
    }
}

void Converter::createObject(SlotKind kind, const Pen& pen, const Brush& brush)
{
    while (firstFree_ < objects_.size() && objects_[firstFree_].kind != SlotKind::Free) ++firstFree_;
    if (firstFree_ == objects_.size()) {
        if (objects_.size() >= kWmfMaxObjects) return;
        objects_.emplace_back();
    }
    objects_[firstFree_] = {kind, pen, brush};
    ++firstFree_;
}

void Converter::restoreDc(std::int32_t which)
{
    // Negative: that many levels back; positive: the n-th saved state.
    std::size_t keep = 0;
    if (which < 0) {
        const auto back = static_cast<std::size_t>(-which);
        if (back > saved_.size()) return;
        keep = saved_.size() - back;
    } else {
        if (which == 0 || static_cast<std::size_t>(which) > saved_.size()) return;
        keep = static_cast<std::size_t>(which) - 1;
    }
    dc_ = saved_[keep];
    saved_.resize(keep);
}

bool Converter::stateRecord(std::uint32_t function, const Params& p)
{
    switch (function) {
    case kSetWindowOrg: dc_.orgX = static_cast<float>(p.s(1)), dc_.orgY = static_cast<float>(p.s(0)); break;
    case kSetWindowExt: dc_.extX = static_cast<float>(p.s(1)), dc_.extY = static_cast<float>(p.s(0)); break;
    case kOffsetWindowOrg: dc_.orgX += static_cast<float>(p.s(1)), dc_.orgY += static_cast<float>(p.s(0)); break;
    case kScaleWindowExt:
        if (p.s(2) != 0 && p.s(0) != 0) {
            dc_.extX = dc_.extX * static_cast<float>(p.s(3)) / static_cast<float>(p.s(2));
            dc_.extY = dc_.extY * static_cast<float>(p.s(1)) / static_cast<float>(p.s(0));
        }
        break;
    case kSetPolyFillMode: dc_.fillMode = p.u(0) == kWinding ? kWinding : kAlternate; break;
    case kSaveDc:
        if (saved_.size() < kWmfMaxSavedStates) saved_.push_back(dc_);
        break;
    case kRestoreDc: restoreDc(p.s(0)); break;
    case kCreatePenIndirect: createObject(SlotKind::Pen, {p.u(0), p.s(1), p.colour(3)}, {}); break;
    case kCreateBrushIndirect: {
        const std::uint32_t style = p.u(0);
        createObject(SlotKind::Brush, {}, {style == kBsSolid || style == kBsHatched, p.colour(1)});
        break;
    }
    case kDibCreatePatternBrush:
    case kCreatePatternBrush: createObject(SlotKind::Brush, {}, {false, {}}); break;
    case kCreateFontIndirect:
    case kCreatePalette:
    case kCreateRegion: createObject(SlotKind::Other, {}, {}); break;
    case kSelectObject:
        if (p.u(0) < objects_.size()) {
            const Slot& slot = objects_[p.u(0)];
            if (slot.kind == SlotKind::Pen) dc_.pen = slot.pen;
            if (slot.kind == SlotKind::Brush) dc_.brush = slot.brush;
        }
        break;
    case kDeleteObject:
        if (p.u(0) < objects_.size()) {
            objects_[p.u(0)].kind = SlotKind::Free;
            firstFree_ = std::min<std::size_t>(firstFree_, p.u(0));
        }
        break;
    default: break;  // not drawn: see the list at the top of this file
    }
    return true;
}

bool Converter::record(std::uint32_t function, const Params& p)
{
    if (p.words() < minimumWords(function)) return false;
    return drawRecord(function, p);
}

WmfResult Converter::run(Bytes data)
{
    std::uint32_t key = 0, type = 0, headerWords = 0, inch = 0;
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    if (!readU32LE(data, 0, key) || key != kPlaceableKey || !readS16LE(data, 6, left) ||
        !readS16LE(data, 8, top) || !readS16LE(data, 10, right) || !readS16LE(data, 12, bottom) ||
        !readU16LE(data, 14, inch) || !readU16LE(data, kWmfPlaceableHeaderBytes, type) ||
        !readU16LE(data, kWmfPlaceableHeaderBytes + 2, headerWords) ||
        !hasBytes(data, kWmfPlaceableHeaderBytes, kWmfHeaderBytes)) {
        return {kMetafile, "Metafile header cut off by the end of the file."};
    }
    if ((type != 1 && type != 2) || headerWords != kHeaderWords) {
        return {kMetafile, "Damaged metafile header (type or header size)."};
    }
    if (right == left || bottom == top) return {kMetafile, "Metafile bounding box is empty."};
    form_.originX = left;
    form_.originY = top;
    form_.width = right - left;
    form_.height = bottom - top;
    form_.unitsPerInch = inch != 0 ? static_cast<std::int32_t>(inch) : static_cast<std::int32_t>(kWmfDefaultUnitsPerInch);
    // Until the metafile sets a window, its coordinates are bounding-box units.
    dc_.orgX = static_cast<float>(left), dc_.orgY = static_cast<float>(top);

    std::size_t p = kWmfPlaceableHeaderBytes + 2 * headerWords;
    std::uint32_t words = 0, function = 0;
    while (readU32LE(data, p, words)) {
        if (words < 3 || !hasBytes(data, p, 2 * static_cast<std::size_t>(words))) {
            return {kMetafile, "Metafile record runs past the end of the file."};
        }
        readU16LE(data, p + 4, function);
        if (function == kEof) break;
        const Params params{data.subspan(p + 6, 2 * static_cast<std::size_t>(words) - 6)};
        if (!record(function, params)) return {kMetafile, "Metafile record too short for its parameters."};
        if (!content_.ok()) return {kOutOfMemory, "No memory for the metafile's content."};
        p += 2 * static_cast<std::size_t>(words);
    }
    if (form_.shapesDrawn == 0) return {kMetafile, "Metafile without anything the converter draws."};
    return {};
}

}  // namespace

WmfResult convertWmf(Bytes data, WmfForm& form)
{
    form = WmfForm{};
    Converter converter(form);
    WmfResult result = converter.run(data);
    if (result.error != 0) form.content.release();
    return result;
}

}  // namespace tabulon::pdf
