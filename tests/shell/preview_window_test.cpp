#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "preview_window.h"

using namespace tabulon::shell;

namespace {

class RecordingWindows : public WindowPlatform {
public:
    std::vector<std::string> calls;
    bool opens = true;

    std::pair<int, int> desktopSize() override { return {1920, 1080}; }
    bool openWindow(int window, const PixelRect& r, std::string_view title) override
    {
        calls.push_back("window " + std::to_string(window) + " " + rect(r) + " " + std::string(title));
        return opens;
    }
    void createCanvas(int gadget, const PixelRect& r) override
    {
        calls.push_back("canvas " + std::to_string(gadget) + " " + rect(r));
    }
    void createPictureButton(int gadget, const PixelRect& r, ButtonPicture picture) override
    {
        static const char* names[] = {"exit", "pdf", "print"};
        calls.push_back("button " + std::to_string(gadget) + " " + rect(r) + " " +
                        names[static_cast<int>(picture)]);
    }
    void setTooltip(int gadget, std::string_view text) override
    {
        calls.push_back("tooltip " + std::to_string(gadget) + " " + std::string(text));
    }
    void setBackground(int window, Rgb c) override
    {
        calls.push_back("background " + std::to_string(window) + " " + std::to_string(c.r) + "," +
                        std::to_string(c.g) + "," + std::to_string(c.b));
    }

    static std::string rect(const PixelRect& r)
    {
        return std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.width) + "x" +
               std::to_string(r.height);
    }
};

}  // namespace

TEST(PreviewWindow, BuildsWindowGadgetsTooltipsAndColourInOrder)
{
    RecordingWindows windows;
    const auto result = openPreviewWindow(windows, "P");
    EXPECT_TRUE(result.opened);
    EXPECT_EQ(windows.calls, (std::vector<std::string>{
                                 "window 0 674,5 619x816 PREVIEW 2.0",
                                 "canvas 1 3,3 573x810",
                                 "button 2 580,648 30x30 exit",
                                 "button 4 580,567 30x30 print",
                                 "button 3 580,486 30x30 pdf",
                                 "tooltip 3 Klick on symbol for PDF or press F6.",
                                 "tooltip 4 Klick on symbol for print or press F4.",
                                 "background 0 0,191,255",
                             }));
}

TEST(PreviewWindow, AFailedWindowGetsNoGadgetsTooltipsOrColour)
{
    RecordingWindows windows;
    windows.opens = false;
    const auto result = openPreviewWindow(windows, "L");
    EXPECT_FALSE(result.opened);
    EXPECT_EQ(windows.calls.size(), 1u);
    EXPECT_FLOAT_EQ(result.geometry.previewPixelsPerMm, 3.8571429f);
}
