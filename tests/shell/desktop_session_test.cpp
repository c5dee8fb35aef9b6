#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "desktop_session.h"
#include "pdf_check.h"
#include "preview_geometry.h"
#include "recording_outputs.h"

using namespace tabulon::shell;
using tabulon::render::RenderTarget;

namespace {

// The outputs of one pass, drawing into the platform's log; their release is
// written down too, so the log shows that they live for their pass only.
class RecordingPassOutputs : public PassOutputs {
public:
    RecordingPassOutputs(std::vector<std::string>& log, RenderTarget target)
        : log_(log), target_(target), surface_(log), question_(log, {}), printJob_(log)
    {
    }
    ~RecordingPassOutputs() override { log_.push_back("outputs released"); }

    tabulon::render::RenderOutputs renderOutputs() override
    {
        tabulon::render::RenderOutputs outputs;
        if (target_ == RenderTarget::Preview) {
            outputs.canvas = &surface_;
            outputs.questionBox = &question_;
        } else {
            outputs.printJob = &printJob_;
            outputs.printerSurface = &surface_;
        }
        return outputs;
    }

private:
    std::vector<std::string>& log_;
    RenderTarget target_;
    tabulon::test::RecordingSurface surface_;
    tabulon::test::ScriptedQuestionBox question_;  // No to every question
    tabulon::test::RecordingPrintJob printJob_;
};

class RecordingSessionPlatform : public SessionPlatform {
public:
    std::vector<std::string> log;
    std::optional<ViewerFailure> viewerFailure;

    std::unique_ptr<PassOutputs> openPreviewOutputs() override
    {
        log.push_back("preview outputs");
        return std::make_unique<RecordingPassOutputs>(log, RenderTarget::Preview);
    }
    std::unique_ptr<PassOutputs> openPrinterOutputs() override
    {
        log.push_back("printer outputs");
        return std::make_unique<RecordingPassOutputs>(log, RenderTarget::Printer);
    }
    void showMessage(const std::string& caption, const std::string& text) override
    {
        log.push_back("message " + caption + " | " + text);
    }
    std::optional<ViewerFailure> startPdfViewer(const std::string& fileName) override
    {
        log.push_back("viewer " + fileName + (std::filesystem::is_regular_file(fileName) ? "" : " (no such file)"));
        return viewerFailure;
    }
};

// Runs the test in a fresh folder, where the PDF export writes its files.
class InTemporaryFolder {
public:
    InTemporaryFolder() : before_(std::filesystem::current_path())
    {
        std::filesystem::current_path(tabulon::test::tempFolder());
    }
    ~InTemporaryFolder() { std::filesystem::current_path(before_); }

private:
    std::filesystem::path before_;
};

}  // namespace

TEST(DesktopSession, EachPassGetsItsOutputsAndTheExportReportsWhatBecameOfTheFile)
{
    InTemporaryFolder folder;
    const std::string logo = tabulon::test::readFile(TABULON_LOGO);
    ASSERT_GT(logo.size(), 1000u);
    tabulon::test::writeTempFile("cut.jpg", logo.substr(0, logo.size() * 2 / 3));  // ends inside its scan
    const std::string ask = "ask Multiple Pages! | Select OK if you want to see the next.";
    const ViewerFailure noViewer{"xdg-open", "No such file or directory"};

    const struct {
        const char* name;
        std::string job;
        RenderTarget target;
        std::optional<ViewerFailure> viewerFailure;
        std::vector<std::string> log;
        std::string messages;
    } cases[] = {
        // 1920 x 1080 landscape: 3.857 pixels per mm, so a 10 mm picture is resized to 39 pixels.
        {"preview",
         "Doc,L/*\rimg,10,10,10,10,logo.jpg/*\reop/*\rbox,1,1,1,1,K,N,1/*\r",
         RenderTarget::Preview,
         {},
         {"preview outputs", "open", "resize 39 39", "move 14.1429 14.1429", "image 255 0 0", "close", ask, "open",
          "close", "outputs released"},
         ""},
        {"printer",
         "Doc,P/*\rbox,10,20,30,40,K,N,5/*\r",
         RenderTarget::Printer,
         {},
         {"printer outputs", "choose", "start Utskrift Preview", "open", "box 10 20 30 40", "colour ff000000",
          "stroke 0.5", "close", "end", "outputs released"},
         ""},
        {"saved", "Saved,P/*\rtxt,A,N,12,10,10,K/*x\r", RenderTarget::Pdf, {}, {"viewer Saved.pdf"}, ""},
        {"name that reads as an option", "-Dashed,P/*\r", RenderTarget::Pdf, {}, {"viewer ./-Dashed.pdf"}, ""},
        {"not saved",
         "missing/Lost,P/*\rtxt,A,N,12,10,10,K/*x\r",
         RenderTarget::Pdf,
         {},
         {"message PDF not saved | missing/Lost.pdf could not be written (error 16): Error creating file."},
         "tabulon: missing/Lost.pdf could not be written (error 16): Error creating file.\n"},
        {"viewer cannot start",
         "NoViewer,P/*\r",
         RenderTarget::Pdf,
         noViewer,
         {"viewer NoViewer.pdf"},
         "tabulon: NoViewer.pdf is written, but the viewer xdg-open could not be started: No such file or directory\n"},
        {"damaged picture",
         "Warned,P/*\rimg,10,10,50,15,cut.jpg/*\reop/*\rimg,10,10,50,15,cut.jpg/*\r",
         RenderTarget::Pdf,
         {},
         {"viewer Warned.pdf"},
         "tabulon: warning: picture cut.jpg may be damaged: its data ends early\n"},
    };
    for (const auto& c : cases) {
        RecordingSessionPlatform platform;
        platform.viewerFailure = c.viewerFailure;
        std::ostringstream messages;
        DesktopSession session(platform, nullptr, messages);
        session.takeJob(c.job);
        session.previewWindowOpened(computePreviewGeometry(1920, 1080, session.orientationCode()));
        session.renderJob(c.target);
        EXPECT_EQ(platform.log, c.log) << c.name;
        EXPECT_EQ(messages.str(), c.messages) << c.name;
    }
}
