// peer-cairo: the ledger workload written with cairo's PDF surface. cairo has no core
// fonts, so the texts use the system font that fontconfig picks for "Helvetica"
// (embedded as a subset), and it offers no switch to turn stream compression off.
#include <cairo-pdf.h>
#include <cairo.h>

#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include <jpeglib.h>

#include "ledger_content.h"
#include "peer_cli.h"

namespace {

using namespace tabulon::bench;

// The JPEG file's bytes, kept alive as long as the surface that carries them.
struct JpegBytes {
    std::vector<unsigned char> data;
};

void releaseJpegBytes(void* bytes) { delete static_cast<JpegBytes*>(bytes); }

// Decodes the JPEG into an image surface and attaches the original bytes, so that the
// PDF surface embeds the JPEG itself rather than re-encoding the pixels. Returns null
// when the file cannot be read or decoded.
cairo_surface_t* loadJpegSurface(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) return nullptr;
    auto* bytes = new JpegBytes{std::vector<unsigned char>(std::istreambuf_iterator<char>(file), {})};

    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    errors.error_exit = [](j_common_ptr common) {
        (*common->err->output_message)(common);
        std::exit(1);  // a broken logo file ends this benchmark program
    };
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes->data.data(), static_cast<unsigned long>(bytes->data.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(info.output_width),
                                                          static_cast<int>(info.output_height));
    unsigned char* pixels = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    std::vector<unsigned char> line(info.output_width * 3);
    while (info.output_scanline < info.output_height) {
        unsigned char* row = line.data();
        auto* target = reinterpret_cast<uint32_t*>(pixels + static_cast<std::ptrdiff_t>(info.output_scanline) * stride);
        jpeg_read_scanlines(&info, &row, 1);
        for (JDIMENSION x = 0; x < info.output_width; ++x)
            target[x] = (uint32_t{line[x * 3]} << 16) | (uint32_t{line[x * 3 + 1]} << 8) | line[x * 3 + 2];
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    cairo_surface_mark_dirty(surface);

    static const unsigned char kUniqueId[] = "ledger-logo";
    cairo_surface_set_mime_data(surface, CAIRO_MIME_TYPE_UNIQUE_ID, kUniqueId, sizeof kUniqueId - 1, nullptr, nullptr);
    cairo_surface_set_mime_data(surface, CAIRO_MIME_TYPE_JPEG, bytes->data.data(), bytes->data.size(),
                                releaseJpegBytes, bytes);
    return surface;
}

struct Fonts {
    cairo_font_face_t *regular, *bold, *italic;
    cairo_font_face_t* of(LedgerStyle style) const
    {
        return style == LedgerStyle::Bold ? bold : style == LedgerStyle::Italic ? italic : regular;
    }
};

double pt(double mm) { return mm * kPointsPerMm; }

void drawTexts(cairo_t* cr, const Fonts& fonts, const std::vector<LedgerText>& texts)
{
    cairo_set_source_rgb(cr, 0, 0, 0);
    for (const LedgerText& t : texts) {
        cairo_set_font_face(cr, fonts.of(t.style));
        cairo_set_font_size(cr, t.size);
        cairo_move_to(cr, pt(t.x), pt(t.y));
        cairo_show_text(cr, t.text.c_str());
    }
}

void drawLogo(cairo_t* cr, cairo_surface_t* logo)
{
    if (logo == nullptr) return;
    cairo_save(cr);
    cairo_translate(cr, pt(kLogo.x), pt(kLogo.y));
    cairo_scale(cr, pt(kLogo.width) / cairo_image_surface_get_width(logo),
                pt(kLogo.height) / cairo_image_surface_get_height(logo));
    cairo_set_source_surface(cr, logo, 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
}

void drawPage(cairo_t* cr, const Fonts& fonts, cairo_surface_t* logo, int& rowIndex)
{
    drawTexts(cr, fonts, ledgerHeadingTexts());
    drawLogo(cr, logo);

    cairo_set_line_width(cr, pt(kRule.widthTenthsMm / 10.0));
    cairo_set_source_rgb(cr, 0, 0, 1);
    cairo_move_to(cr, pt(kRule.x1), pt(kRule.y1));
    cairo_line_to(cr, pt(kRule.x2), pt(kRule.y2));
    cairo_stroke(cr);

    cairo_set_source_rgb(cr, 1, 1, 0);
    cairo_rectangle(cr, pt(kFooterBand.x), pt(kFooterBand.y), pt(kFooterBand.width), pt(kFooterBand.height));
    cairo_fill(cr);

    drawTexts(cr, fonts, ledgerPageBodyTexts(rowIndex));
    cairo_show_page(cr);
}

cairo_font_face_t* helvetica(cairo_font_slant_t slant, cairo_font_weight_t weight)
{
    return cairo_toy_font_face_create("Helvetica", slant, weight);
}

}  // namespace

int main(int argc, char** argv)
{
    PeerArgs args;
    if (!parsePeerArgs(argc, argv, "peer-cairo", args)) return 2;

    cairo_surface_t* logo = loadJpegSurface(kLogoFile);
    if (logo == nullptr) std::fprintf(stderr, "peer-cairo: cannot read %s\n", kLogoFile);
    cairo_surface_t* surface = cairo_pdf_surface_create(args.out.c_str(), kPageWidthPt, kPageHeightPt);
    cairo_t* cr = cairo_create(surface);
    Fonts fonts{helvetica(CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL),
                helvetica(CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD),
                helvetica(CAIRO_FONT_SLANT_OBLIQUE, CAIRO_FONT_WEIGHT_NORMAL)};

    int rowIndex = 0;
    for (int page = 0; page < args.pages; ++page) drawPage(cr, fonts, logo, rowIndex);

    cairo_destroy(cr);
    cairo_surface_finish(surface);
    cairo_status_t status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    cairo_font_face_destroy(fonts.regular);
    cairo_font_face_destroy(fonts.bold);
    cairo_font_face_destroy(fonts.italic);
    if (logo != nullptr) cairo_surface_destroy(logo);
    if (status != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "peer-cairo: %s\n", cairo_status_to_string(status));
        return 1;
    }
    return logo != nullptr ? 0 : 1;
}
