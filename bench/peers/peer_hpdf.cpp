// peer-hpdf: the ledger workload written with libharu, using its built-in
// Helvetica fonts; compression off, or with `--compress` first on the command line,
// libharu's compression of every stream it offers to compress.
#include <hpdf.h>

#include <cstdio>
#include <cstring>

#include "ledger_content.h"
#include "peer_cli.h"

namespace {

using namespace tabulon::bench;

// libharu reports every failure through this handler; the program then gives up.
bool g_failed = false;

void onError(HPDF_STATUS error, HPDF_STATUS detail, void*)
{
    if (!g_failed) std::fprintf(stderr, "peer-hpdf: libharu error 0x%04X, detail %u\n",
                                static_cast<unsigned>(error), static_cast<unsigned>(detail));
    g_failed = true;
}

struct Fonts {
    HPDF_Font regular, bold, italic;
    HPDF_Font of(LedgerStyle style) const
    {
        return style == LedgerStyle::Bold ? bold : style == LedgerStyle::Italic ? italic : regular;
    }
};

// Millimetres from the top-left corner to points from the bottom-left one.
HPDF_REAL px(double mm) { return static_cast<HPDF_REAL>(mm * kPointsPerMm); }
HPDF_REAL py(double mm) { return static_cast<HPDF_REAL>(kPageHeightPt - mm * kPointsPerMm); }

void drawTexts(HPDF_Page page, const Fonts& fonts, const std::vector<LedgerText>& texts)
{
    HPDF_Page_BeginText(page);
    for (const LedgerText& t : texts) {
        HPDF_Page_SetFontAndSize(page, fonts.of(t.style), static_cast<HPDF_REAL>(t.size));
        HPDF_Page_TextOut(page, px(t.x), py(t.y), t.text.c_str());
    }
    HPDF_Page_EndText(page);
}

void drawPage(HPDF_Doc pdf, const Fonts& fonts, HPDF_Image logo, int& rowIndex)
{
    HPDF_Page page = HPDF_AddPage(pdf);
    HPDF_Page_SetWidth(page, static_cast<HPDF_REAL>(kPageWidthPt));
    HPDF_Page_SetHeight(page, static_cast<HPDF_REAL>(kPageHeightPt));

    HPDF_Page_SetRGBFill(page, 0, 0, 0);
    drawTexts(page, fonts, ledgerHeadingTexts());
    HPDF_Page_DrawImage(page, logo, px(kLogo.x), py(kLogo.y + kLogo.height), px(kLogo.width), px(kLogo.height));

    HPDF_Page_SetLineWidth(page, px(kRule.widthTenthsMm / 10.0));
    HPDF_Page_SetRGBStroke(page, 0, 0, 1);
    HPDF_Page_MoveTo(page, px(kRule.x1), py(kRule.y1));
    HPDF_Page_LineTo(page, px(kRule.x2), py(kRule.y2));
    HPDF_Page_Stroke(page);

    HPDF_Page_SetRGBFill(page, 1, 1, 0);
    HPDF_Page_Rectangle(page, px(kFooterBand.x), py(kFooterBand.y + kFooterBand.height), px(kFooterBand.width),
                        px(kFooterBand.height));
    HPDF_Page_Fill(page);

    HPDF_Page_SetRGBFill(page, 0, 0, 0);
    drawTexts(page, fonts, ledgerPageBodyTexts(rowIndex));
}

}  // namespace

int main(int argc, char** argv)
{
    bool compress = argc > 1 && std::strcmp(argv[1], "--compress") == 0;
    if (compress) {
        --argc;
        ++argv;
    }
    PeerArgs args;
    if (!parsePeerArgs(argc, argv, "peer-hpdf [--compress]", args)) return 2;

    HPDF_Doc pdf = HPDF_New(onError, nullptr);
    if (pdf == nullptr) return 1;
    HPDF_SetCompressionMode(pdf, compress ? HPDF_COMP_ALL : HPDF_COMP_NONE);
    Fonts fonts{HPDF_GetFont(pdf, helveticaName(LedgerStyle::Regular), nullptr),
                HPDF_GetFont(pdf, helveticaName(LedgerStyle::Bold), nullptr),
                HPDF_GetFont(pdf, helveticaName(LedgerStyle::Italic), nullptr)};
    HPDF_Image logo = HPDF_LoadJpegImageFromFile(pdf, kLogoFile);

    int rowIndex = 0;
    for (int page = 0; page < args.pages && !g_failed; ++page) drawPage(pdf, fonts, logo, rowIndex);
    if (!g_failed) HPDF_SaveToFile(pdf, args.out.c_str());
    HPDF_Free(pdf);
    return g_failed ? 1 : 0;
}
