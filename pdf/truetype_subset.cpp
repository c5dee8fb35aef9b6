#include "truetype_subset.h"

#include <algorithm>

#include "sfnt_builder.h"
#include "truetype.h"

namespace tabulon::pdf {

namespace {

// Flags of a composite glyph's component record.
constexpr std::uint16_t kArgsAreWords = 0x0001;
constexpr std::uint16_t kHaveScale = 0x0008;
constexpr std::uint16_t kMoreComponents = 0x0020;
constexpr std::uint16_t kHaveXYScale = 0x0040;
constexpr std::uint16_t kHaveTwoByTwo = 0x0080;

// The header every glyph with outlines starts with: contour count and bounding box.
constexpr std::size_t kGlyphHeader = 10;

// The largest glyph data a short (16-bit, halved) loca can address.
constexpr std::size_t kShortLocaLimit = 0x1FFFE;

// The tables the subset copies unchanged: hinting, and the font's names and
// Windows metrics.
constexpr const char* kCopiedTables[] = {"OS/2", "cvt ", "fpgm", "gasp", "name", "prep"};

using Bytes = std::span<const std::uint8_t>;

// The tables of the whole font the subset is built from, each checked to lie
// inside the file and to hold the fields read from it.
struct Source {
    Bytes head, hhea, maxp, hmtx, loca, glyf;
    std::uint32_t glyphCount = 0;
    std::uint32_t hMetricCount = 0;
    bool longLoca = false;
};

std::optional<Source> readSource(const TrueTypeFile& file)
{
    Source source;
    const std::pair<const char*, Bytes*> required[] = {
        {"head", &source.head}, {"hhea", &source.hhea}, {"maxp", &source.maxp},
        {"hmtx", &source.hmtx}, {"loca", &source.loca}, {"glyf", &source.glyf},
    };
    for (const auto& [tag, bytes] : required) {
        std::optional<Bytes> table = file.table(tag);
        if (!table) return std::nullopt;
        *bytes = *table;
    }
    if (source.head.size() < 54 || source.hhea.size() < 36 || source.maxp.size() < 6) return std::nullopt;
    source.glyphCount = *TrueTypeFile(source.maxp).u16(4);
    source.hMetricCount = *TrueTypeFile(source.hhea).u16(34);
    std::int16_t locFormat = *TrueTypeFile(source.head).s16(50);
    if (source.glyphCount == 0 || source.hMetricCount == 0 || (locFormat != 0 && locFormat != 1)) {
        return std::nullopt;
    }
    source.longLoca = locFormat == 1;
    return source;
}

// The bytes of glyph `g` in glyf, when its loca entries are in order and inside the table.
std::optional<Bytes> glyphBytes(const Source& source, std::uint32_t g)
{
    TrueTypeFile loca(source.loca);
    std::optional<std::uint32_t> start, end;
    if (source.longLoca) {
        start = loca.u32(4 * static_cast<std::size_t>(g));
        end = loca.u32(4 * static_cast<std::size_t>(g) + 4);
    } else {
        std::optional<std::uint16_t> a = loca.u16(2 * static_cast<std::size_t>(g));
        std::optional<std::uint16_t> b = loca.u16(2 * static_cast<std::size_t>(g) + 2);
        if (a && b) {
            start = 2u * *a;
            end = 2u * *b;
        }
    }
    if (!start || !end || *start > *end || *end > source.glyf.size()) return std::nullopt;
    Bytes glyph = source.glyf.subspan(*start, *end - *start);
    if (!glyph.empty() && glyph.size() < kGlyphHeader) return std::nullopt;
    return glyph;
}

// Calls part(offset, glyph) for every component of a composite glyph, with the
// offset of the component's glyph number within the glyph's bytes. False when
// the component records run past the glyph's end. Simple and empty glyphs have
// no components.
template <typename Part>
bool forEachComponent(Bytes glyphData, Part part)
{
    TrueTypeFile glyph(glyphData);
    std::optional<std::int16_t> contours = glyph.s16(0);
    if (!contours || *contours >= 0) return true;
    std::size_t at = kGlyphHeader;
    for (;;) {
        std::optional<std::uint16_t> flags = glyph.u16(at);
        std::optional<std::uint16_t> index = glyph.u16(at + 2);
        if (!flags || !index) return false;
        std::size_t size = 4 + ((*flags & kArgsAreWords) != 0 ? 4 : 2);
        if ((*flags & kHaveScale) != 0) {
            size += 2;
        } else if ((*flags & kHaveXYScale) != 0) {
            size += 4;
        } else if ((*flags & kHaveTwoByTwo) != 0) {
            size += 8;
        }
        if (!glyph.has(at, size)) return false;
        part(at + 2, *index);
        at += size;
        if ((*flags & kMoreComponents) == 0) return true;
    }
}

// Glyph 0, the glyphs asked for and every part of a kept composite, in order.
std::optional<std::vector<std::uint16_t>> keptGlyphs(const Source& source, std::span<const std::uint16_t> glyphs)
{
    std::vector<bool> keep(source.glyphCount, false);
    std::vector<std::uint16_t> pending(glyphs.begin(), glyphs.end());
    pending.push_back(0);
    bool inside = true;
    while (!pending.empty() && inside) {
        std::uint16_t g = pending.back();
        pending.pop_back();
        if (g >= source.glyphCount) return std::nullopt;
        if (keep[g]) continue;
        keep[g] = true;
        std::optional<Bytes> bytes = glyphBytes(source, g);
        if (!bytes) return std::nullopt;
        inside = forEachComponent(*bytes, [&](std::size_t, std::uint16_t part) { pending.push_back(part); });
    }
    if (!inside) return std::nullopt;
    std::vector<std::uint16_t> kept;
    for (std::uint32_t g = 0; g < source.glyphCount; ++g) {
        if (keep[g]) kept.push_back(static_cast<std::uint16_t>(g));
    }
    return kept;
}

struct GlyphTables {
    std::vector<std::uint8_t> glyf, loca;
    bool longLoca = false;
};

// The kept glyphs one after another, each on an even offset, composite parts
// renumbered; the loca in the short form when the data allows it.
std::optional<GlyphTables> buildGlyphTables(const Source& source, const std::vector<std::uint16_t>& kept,
                                            const std::vector<std::uint16_t>& newIndex)
{
    GlyphTables tables;
    std::vector<std::size_t> offsets;
    for (std::uint16_t g : kept) {
        offsets.push_back(tables.glyf.size());
        std::optional<Bytes> bytes = glyphBytes(source, g);
        if (!bytes) return std::nullopt;
        std::size_t start = tables.glyf.size();
        tables.glyf.insert(tables.glyf.end(), bytes->begin(), bytes->end());
        forEachComponent(*bytes, [&](std::size_t at, std::uint16_t part) {
            set16(tables.glyf, start + at, newIndex[part]);
        });
        if (tables.glyf.size() % 2 != 0) tables.glyf.push_back(0);
    }
    offsets.push_back(tables.glyf.size());
    tables.longLoca = tables.glyf.size() > kShortLocaLimit;
    for (std::size_t offset : offsets) {
        if (tables.longLoca) {
            put32(tables.loca, static_cast<std::uint32_t>(offset));
        } else {
            put16(tables.loca, static_cast<std::uint32_t>(offset / 2));
        }
    }
    return tables;
}

// Full metrics (advance width, left side bearing) for every kept glyph; a glyph
// past the font's full metrics takes the last advance and its own bearing.
std::optional<std::vector<std::uint8_t>> buildHmtx(const Source& source, const std::vector<std::uint16_t>& kept)
{
    TrueTypeFile hmtx(source.hmtx);
    std::uint32_t full = source.hMetricCount;
    std::vector<std::uint8_t> out;
    for (std::uint16_t g : kept) {
        std::size_t metric = 4 * static_cast<std::size_t>(g < full ? g : full - 1);
        std::size_t bearing = g < full ? 4 * static_cast<std::size_t>(g) + 2
                                       : 4 * static_cast<std::size_t>(full) + 2 * static_cast<std::size_t>(g - full);
        std::optional<std::uint16_t> advance = hmtx.u16(metric);
        std::optional<std::uint16_t> lsb = hmtx.u16(bearing);
        if (!advance || !lsb) return std::nullopt;
        put16(out, *advance);
        put16(out, *lsb);
    }
    return out;
}

// A format 4 subtable of (code, glyph) pairs sorted by code: runs of codes whose
// glyphs follow on form one segment each, then the closing 0xFFFF segment.
// Empty when it would not fit the format's 16-bit length.
std::vector<std::uint8_t> cmapFormat4(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& pairs)
{
    struct Segment {
        std::uint16_t start, end, delta;
    };
    std::vector<Segment> segments;
    for (const auto& [code, glyph] : pairs) {
        auto delta = static_cast<std::uint16_t>(glyph - code);
        if (!segments.empty() && segments.back().end + 1 == code && segments.back().delta == delta) {
            segments.back().end = code;
        } else {
            segments.push_back({code, code, delta});
        }
    }
    segments.push_back({0xFFFF, 0xFFFF, 1});
    std::size_t count = segments.size();
    std::size_t length = 16 + 8 * count;
    if (length > 0xFFFF) return {};
    const auto [power, log2] = searchFields(static_cast<std::uint32_t>(count));
    std::vector<std::uint8_t> out;
    put16(out, 4);
    put16(out, static_cast<std::uint32_t>(length));
    put16(out, 0);  // language
    put16(out, static_cast<std::uint32_t>(2 * count));
    put16(out, 2 * power);
    put16(out, log2);
    put16(out, static_cast<std::uint32_t>(2 * count - 2 * power));
    for (const Segment& s : segments) put16(out, s.end);
    put16(out, 0);  // reserved
    for (const Segment& s : segments) put16(out, s.start);
    for (const Segment& s : segments) put16(out, s.delta);
    for (std::size_t i = 0; i < count; ++i) put16(out, 0);  // no glyph arrays
    return out;
}

// The glyphs of the whole font's Macintosh Roman subtable (platform 1, encoding
// 0) by code, in the whole font's numbers; empty without one of format 0 or 6.
std::vector<std::uint16_t> macRomanGlyphs(const TrueTypeFile& file)
{
    std::optional<Bytes> cmapBytes = file.table("cmap");
    if (!cmapBytes) return {};
    TrueTypeFile cmap(*cmapBytes);
    std::uint16_t count = cmap.u16(2).value_or(0);
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t record = 4 + 8 * i;
        std::optional<std::uint32_t> offset = cmap.u32(record + 4);
        if (!offset) return {};
        if (cmap.u16(record) != 1 || cmap.u16(record + 2) != 0) continue;
        std::optional<std::uint16_t> format = cmap.u16(*offset);
        std::vector<std::uint16_t> glyphs(256, 0);
        if (format == 0 && cmap.has(*offset + 6, 256)) {
            for (std::size_t c = 0; c < 256; ++c) glyphs[c] = *cmap.u8(*offset + 6 + c);
            return glyphs;
        }
        if (format == 6) {
            std::uint32_t first = cmap.u16(*offset + 6).value_or(0);
            std::uint32_t entries = cmap.u16(*offset + 8).value_or(0);
            for (std::uint32_t c = first; c < first + entries && c < 256; ++c) {
                std::optional<std::uint16_t> g = cmap.u16(*offset + 10 + 2 * static_cast<std::size_t>(c - first));
                if (!g) break;
                glyphs[c] = *g;
            }
            return glyphs;
        }
        return {};
    }
    return {};
}

// A cmap with the Unicode subtable (3, 1) and, when the whole font has one, the
// Macintosh Roman subtable (1, 0), both mapping only to kept glyphs.
std::optional<std::vector<std::uint8_t>> buildCmap(const TrueTypeFile& file, std::span<const std::uint16_t> unicodeMap,
                                                   const std::vector<std::uint16_t>& newIndex)
{
    auto renumbered = [&](std::uint16_t g) -> std::uint16_t { return g < newIndex.size() ? newIndex[g] : 0; };
    std::vector<std::pair<std::uint16_t, std::uint16_t>> unicode;
    for (std::size_t c = 0; c < unicodeMap.size() && c < 0xFFFF; ++c) {
        if (std::uint16_t g = renumbered(unicodeMap[c]); g != 0) unicode.emplace_back(static_cast<std::uint16_t>(c), g);
    }
    std::vector<std::uint8_t> unicodeTable = cmapFormat4(unicode);
    if (unicodeTable.empty()) return std::nullopt;

    std::vector<std::uint8_t> macTable;
    std::vector<std::uint16_t> mac = macRomanGlyphs(file);
    for (std::uint16_t& g : mac) g = renumbered(g);
    auto first = std::find_if(mac.begin(), mac.end(), [](std::uint16_t g) { return g != 0; });
    if (first != mac.end()) {
        auto last = std::find_if(mac.rbegin(), mac.rend(), [](std::uint16_t g) { return g != 0; }).base();
        auto entries = static_cast<std::uint32_t>(last - first);
        put16(macTable, 6);
        put16(macTable, 10 + 2 * entries);
        put16(macTable, 0);  // language
        put16(macTable, static_cast<std::uint32_t>(first - mac.begin()));
        put16(macTable, entries);
        for (auto it = first; it != last; ++it) put16(macTable, *it);
    }

    std::vector<std::uint8_t> out;
    std::uint32_t tableCount = macTable.empty() ? 1 : 2;
    std::uint32_t offset = 4 + 8 * tableCount;
    put16(out, 0);
    put16(out, tableCount);
    if (!macTable.empty()) {
        put16(out, 1);
        put16(out, 0);
        put32(out, offset);
        offset += static_cast<std::uint32_t>(macTable.size());
    }
    put16(out, 3);
    put16(out, 1);
    put32(out, offset);
    out.insert(out.end(), macTable.begin(), macTable.end());
    out.insert(out.end(), unicodeTable.begin(), unicodeTable.end());
    return out;
}

// The post table: its header kept; glyph names of a version 2.0 table carried
// over for the kept glyphs, any other version written as 3.0 (no names).
// Nothing when the font has no post table of at least its 32-byte header.
std::optional<std::vector<std::uint8_t>> buildPost(const TrueTypeFile& file, const std::vector<std::uint16_t>& kept)
{
    std::optional<Bytes> bytes = file.table("post");
    if (!bytes || bytes->size() < 32) return std::nullopt;
    TrueTypeFile post(*bytes);
    std::vector<std::uint8_t> out(bytes->begin(), bytes->begin() + 32);
    std::uint16_t nameCount = post.u16(32).value_or(0);
    std::size_t stringsAt = 34 + 2 * static_cast<std::size_t>(nameCount);
    if (post.u32(0) != 0x00020000u || !post.has(34, 2 * static_cast<std::size_t>(nameCount))) {
        set32(out, 0, 0x00030000u);
        return out;
    }
    // Where each of the table's own names (index 258 on) starts; a name that
    // runs past the end of the table ends the list.
    std::vector<std::size_t> names;
    for (std::size_t at = stringsAt; post.has(at, 1) && post.has(at + 1, *post.u8(at)); at += 1 + *post.u8(at)) {
        names.push_back(at);
    }
    std::vector<std::uint32_t> newName(names.size(), 0);
    std::vector<std::uint8_t> strings;
    std::uint32_t nextName = 258;
    put16(out, static_cast<std::uint32_t>(kept.size()));
    for (std::uint16_t g : kept) {
        std::uint32_t index = g < nameCount ? *post.u16(34 + 2 * static_cast<std::size_t>(g)) : 0;
        if (index >= 258) {
            std::size_t own = index - 258;
            if (own >= names.size()) {
                index = 0;
            } else {
                if (newName[own] == 0) {
                    newName[own] = nextName++;
                    auto name = bytes->subspan(names[own], 1u + *post.u8(names[own]));
                    strings.insert(strings.end(), name.begin(), name.end());
                }
                index = newName[own];
            }
        }
        put16(out, index);
    }
    out.insert(out.end(), strings.begin(), strings.end());
    return out;
}

std::vector<std::uint8_t> copyOf(Bytes bytes) { return {bytes.begin(), bytes.end()}; }

// Six letters from a 64-bit FNV-1a hash of the kept glyph numbers.
std::string subsetTag(const std::vector<std::uint16_t>& kept)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (std::uint16_t g : kept) {
        for (std::uint8_t byte : {static_cast<std::uint8_t>(g >> 8), static_cast<std::uint8_t>(g)}) {
            hash = (hash ^ byte) * 1099511628211ull;
        }
    }
    std::string tag;
    for (int i = 0; i < 6; ++i) {
        tag += static_cast<char>('A' + hash % 26);
        hash /= 26;
    }
    return tag;
}

}  // namespace

std::optional<TrueTypeSubset> subsetTrueType(std::span<const std::uint8_t> font,
                                             std::span<const std::uint16_t> glyphs,
                                             std::span<const std::uint16_t> unicodeMap)
{
    TrueTypeFile file(font);
    std::optional<Source> source = readSource(file);
    if (!source) return std::nullopt;
    std::optional<std::vector<std::uint16_t>> kept = keptGlyphs(*source, glyphs);
    if (!kept) return std::nullopt;
    std::vector<std::uint16_t> newIndex(source->glyphCount, 0);
    for (std::size_t i = 0; i < kept->size(); ++i) newIndex[(*kept)[i]] = static_cast<std::uint16_t>(i);

    std::optional<GlyphTables> glyphTables = buildGlyphTables(*source, *kept, newIndex);
    std::optional<std::vector<std::uint8_t>> hmtx = buildHmtx(*source, *kept);
    std::optional<std::vector<std::uint8_t>> cmap = buildCmap(file, unicodeMap, newIndex);
    if (!glyphTables || !hmtx || !cmap) return std::nullopt;
    auto count = static_cast<std::uint32_t>(kept->size());

    std::vector<SfntTable> tables;
    tables.push_back({"head", copyOf(source->head)});
    set16(tables.back().bytes, 50, glyphTables->longLoca ? 1 : 0);
    tables.push_back({"hhea", copyOf(source->hhea)});
    set16(tables.back().bytes, 34, count);
    tables.push_back({"maxp", copyOf(source->maxp)});
    set16(tables.back().bytes, 4, count);
    tables.push_back({"hmtx", std::move(*hmtx)});
    tables.push_back({"loca", std::move(glyphTables->loca)});
    tables.push_back({"glyf", std::move(glyphTables->glyf)});
    tables.push_back({"cmap", std::move(*cmap)});
    if (std::optional<std::vector<std::uint8_t>> post = buildPost(file, *kept)) tables.push_back({"post", *post});
    for (const char* tag : kCopiedTables) {
        if (std::optional<Bytes> table = file.table(tag)) tables.push_back({tag, copyOf(*table)});
    }
    return TrueTypeSubset{buildSfnt(std::move(tables)), subsetTag(*kept)};
}

}  // namespace tabulon::pdf
