#include <deque>
#include <vector>

#include <gtest/gtest.h>

#include "key_table.h"
#include "main_loop.h"
#include "preview_geometry.h"
#include "tabulon_app.h"

using namespace tabulon::shell;
using tabulon::render::RenderTarget;

namespace {

// A queue of events as the platform would deliver them; running dry ends the test.
class FakeEvents : public EventSource {
public:
    std::deque<PlatformEvent> queue;
    std::vector<int> closed;
    bool ranDry = false;

    PlatformEvent waitEvent() override
    {
        if (queue.empty()) {
            ranDry = true;
            return {EventKind::Gadget, kPreviewWindow, kExitButton, 0, 0};
        }
        PlatformEvent e = queue.front();
        queue.pop_front();
        return e;
    }
    void postGadgetEvent(int window, int gadget, int subtype) override
    {
        queue.push_back({EventKind::Gadget, window, gadget, subtype, 0});
    }
    void closeWindow(int window) override { closed.push_back(window); }
};

PlatformEvent key(int virtualKey) { return {EventKind::KeyDown, 0, 0, 0, virtualKey}; }
PlatformEvent click(int gadget, int subtype = 0) { return {EventKind::Gadget, 0, gadget, subtype, 0}; }
PlatformEvent closeRequest(int window) { return {EventKind::Close, window, 0, 0, 0}; }

constexpr int kVkEscape = 0x1B, kVkF4 = 0x73, kVkF6 = 0x75, kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27,
              kVkDown = 0x28;

std::vector<RenderTarget> run(FakeEvents& events)
{
    std::vector<RenderTarget> passes;
    runEventLoop(events, [&](RenderTarget t) { passes.push_back(t); });
    return passes;
}

}  // namespace

TEST(KeyTable, KeyNumbersOfTheKnownKeys)
{
    const struct {
        int virtualKey;
        int number;
        std::optional<int> gadget;
    } cases[] = {
        {kVkEscape, -84, kExitButton}, {kVkF4, 4, kPrintButton}, {kVkF6, 6, kPdfButton},
        {kVkDown, -71, std::nullopt},  {kVkRight, -72, std::nullopt}, {kVkUp, -73, std::nullopt},
        {kVkLeft, -74, std::nullopt},  {0x70, 1, std::nullopt},        {0x74, 5, std::nullopt},
        {'A', -46, std::nullopt},      {0x0D, -98, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(keyNumber(c.virtualKey), c.number) << c.virtualKey;
        EXPECT_EQ(gadgetForKeyNumber(c.number), c.gadget) << c.virtualKey;
    }
}

TEST(MainLoop, KeysRunTheSamePassesAsTheirButtons)
{
    FakeEvents events;
    events.queue = {key(kVkF4), key(kVkF6), click(kPrintButton), click(kPdfButton), key(kVkEscape)};
    EXPECT_EQ(run(events), (std::vector<RenderTarget>{RenderTarget::Printer, RenderTarget::Pdf,
                                                      RenderTarget::Printer, RenderTarget::Pdf}));
    EXPECT_FALSE(events.ranDry);
}

TEST(MainLoop, APostedClickIsHandledAfterTheEventsBeforeIt)
{
    FakeEvents events;
    // F4's click goes behind the PDF click and Escape that were already waiting,
    // and Escape's exit click behind F4's.
    events.queue = {key(kVkF4), click(kPdfButton), key(kVkEscape)};
    EXPECT_EQ(run(events), (std::vector<RenderTarget>{RenderTarget::Pdf, RenderTarget::Printer}));
    EXPECT_FALSE(events.ranDry);
}

TEST(MainLoop, ArrowsOtherKeysAndTheCanvasChangeNothing)
{
    FakeEvents events;
    events.queue = {key(kVkDown), key(kVkRight), key(kVkUp), key(kVkLeft), key('A'), key(0x70),
                    click(kPageCanvas), click(7), {EventKind::Other, 0, 0, 0, 0}};
    EXPECT_TRUE(run(events).empty());
    EXPECT_TRUE(events.ranDry);
    EXPECT_TRUE(events.closed.empty());
}

TEST(MainLoop, ExitButtonEndsWhateverItsSubtypeOtherButtonsNeedSubtypeZero)
{
    FakeEvents events;
    events.queue = {click(kPrintButton, 1), click(kPdfButton, 2), click(kExitButton, 5), click(kPdfButton)};
    EXPECT_TRUE(run(events).empty());
    EXPECT_FALSE(events.ranDry);
    EXPECT_EQ(events.queue.size(), 1u);
}

TEST(MainLoop, CloseOfThePreviewWindowClosesItAndEnds)
{
    FakeEvents events;
    events.queue = {closeRequest(3), closeRequest(kPreviewWindow), click(kPdfButton)};
    EXPECT_TRUE(run(events).empty());
    EXPECT_EQ(events.closed, std::vector<int>{kPreviewWindow});
    EXPECT_FALSE(events.ranDry);
}

namespace {

class RecordingPlatform : public DesktopPlatform {
public:
    std::vector<std::string>& log;
    FakeEvents fakeEvents;
    bool windowOpens = true;
    explicit RecordingPlatform(std::vector<std::string>& log) : log(log) {}

    std::pair<int, int> desktopSize() override { return {1920, 1080}; }
    bool openWindow(int, const PixelRect&, std::string_view) override
    {
        log.push_back("window");
        return windowOpens;
    }
    void createCanvas(int, const PixelRect&) override {}
    void createPictureButton(int, const PixelRect&, ButtonPicture) override {}
    void setTooltip(int, std::string_view) override {}
    void setBackground(int, Rgb) override {}
    std::string readClipboardText() override
    {
        log.push_back("clipboard");
        return "My_doc,L/*\r";
    }
    EventSource& events() override
    {
        log.push_back("loop");
        return fakeEvents;
    }
    void release() override { log.push_back("release"); }
    std::unique_ptr<PassOutputs> openPreviewOutputs() override { return nullptr; }
    std::unique_ptr<PassOutputs> openPrinterOutputs() override { return nullptr; }
    void showMessage(const std::string&, const std::string&) override {}
    std::optional<ViewerFailure> startPdfViewer(const std::string&) override { return std::nullopt; }
};

class RecordingSession : public JobSession {
public:
    std::vector<std::string>& log;
    std::string orientation;
    float pixelsPerMm = 0;
    explicit RecordingSession(std::vector<std::string>& log) : log(log) {}

    void takeJob(const std::string& text) override
    {
        log.push_back("intake");
        orientation = text.substr(7, 1);
    }
    std::string_view orientationCode() const override { return orientation; }
    void previewWindowOpened(const PreviewGeometry& g) override { pixelsPerMm = g.previewPixelsPerMm; }
    void renderJob(RenderTarget t) override { log.push_back("render " + std::to_string(static_cast<int>(t))); }
};

}  // namespace

TEST(TabulonApp, StartsUpInOrderAndEndsWithZero)
{
    std::vector<std::string> log;
    RecordingPlatform platform(log);
    RecordingSession session(log);
    platform.fakeEvents.queue = {key(kVkF6), key(kVkEscape)};
    EXPECT_EQ(runTabulon(platform, session), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"clipboard", "intake", "window", "render 0", "loop", "render 2",
                                             "release"}));
    EXPECT_FLOAT_EQ(session.pixelsPerMm, 3.8571429f);  // the job's "L" reached the layout
}

TEST(TabulonApp, AWindowThatCannotOpenEndsAtOnceWithZero)
{
    std::vector<std::string> log;
    RecordingPlatform platform(log);
    platform.windowOpens = false;
    RecordingSession session(log);
    EXPECT_EQ(runTabulon(platform, session), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"clipboard", "intake", "window", "release"}));
}
