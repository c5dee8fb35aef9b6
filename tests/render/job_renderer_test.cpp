#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "job_intake.h"
#include "job_renderer.h"
#include "null_outputs.h"
#include "recording_outputs.h"
#include "surface_pictures.h"

namespace tabulon::render {
namespace {

using test::RecordingPrintJob;
using test::RecordingSurface;
using test::ScriptedQuestionBox;
using Log = std::vector<std::string>;

// A job from its lines, header "T,<orientation>/*" first, every line ended by CR.
JobState jobOf(const std::vector<std::string>& lines, const std::string& orientation = "P")
{
    std::string text = "T," + orientation + "/*\r";
    for (const std::string& line : lines) text += line + "\r";
    return intakeJob(text);
}

// The calls of a preview pass at scale 1 (an output 297 mm high, portrait).
Log previewLog(JobRenderer& renderer, const JobState& job, std::deque<bool> answers = {}, float pixelsPerMm = 4.0f,
               double height = 297.0)
{
    Log log;
    RecordingSurface canvas(log, height);
    ScriptedQuestionBox questions(log, std::move(answers));
    RenderOutputs outputs;
    outputs.canvas = &canvas;
    outputs.questionBox = &questions;
    outputs.previewPixelsPerMm = pixelsPerMm;
    renderer.renderJob(job, RenderTarget::Preview, outputs);
    EXPECT_EQ(canvas.liveFonts, 0);
    EXPECT_EQ(canvas.liveImages, 0);
    return log;
}

Log printerLog(JobRenderer& renderer, const JobState& job, bool chosen = true, bool starts = true)
{
    Log log;
    RecordingSurface sheets(log);
    RecordingPrintJob printJob(log, chosen, starts);
    RenderOutputs outputs;
    outputs.printJob = &printJob;
    outputs.printerSurface = &sheets;
    renderer.renderJob(job, RenderTarget::Printer, outputs);
    EXPECT_EQ(sheets.liveFonts, 0);
    EXPECT_EQ(sheets.liveImages, 0);
    return log;
}

bool contains(const Log& log, const std::string& entry) { return std::find(log.begin(), log.end(), entry) != log.end(); }

TEST(JobRenderer, DrawsEachCommandOnThePreviewInOrder)
{
    JobRenderer renderer;
    JobState job = jobOf({"txt,A,B,12,10,32,K/*Acc., with /* inside", "line,10,28,100,28,B,5/*",
                          "box,10,286,190,8,Y,F,4/*", "box,20,30,40,50,R,N,3/*", "img,10,5,50,15,logo.jpg/*",
                          "TXT,A,B,12,1,1,K/*no command", "My_doc,P/*", "", "unknown,1,2"});
    Log log = previewLog(renderer, job);
    const Log expected = {
        "open",
        "font Arial 12 bold", "colour ff000000", "select", "move 10 32", "text Acc., with /* inside",
        "move 10 28", "line 100 28", "colour ffff0000", "stroke 0.5",
        "box 10 286 190 8", "colour ff00ff00", "fill", "stroke 0.4",
        "box 20 30 40 50", "colour ff0000ff", "stroke 0.3",
        "resize 200 60", "move 10 5", "image 255 0 0",
        "close",
    };
    EXPECT_EQ(log, expected);
}

TEST(JobRenderer, CrLfJobDrawsNothing)
{
    JobRenderer renderer;
    JobState job = intakeJob("T,P/*\r\ntxt,A,B,12,10,32,K/*x\r\nline,1,2,3,4,B,5/*\r\neop/*\r\n");
    EXPECT_EQ(previewLog(renderer, job), (Log{"open", "close"}));
    EXPECT_EQ(renderer.state().textColour, ColourSlot{});
    EXPECT_EQ(renderer.state().fontName, "");
}

TEST(JobRenderer, EachCommandKeepsItsOwnColourSlot)
{
    JobRenderer renderer;
    JobState job = jobOf({"line,1,1,2,2,R,1/*", "txt,X,N,10,1,1/*before any text colour", "box,1,1,1,1,B,N,1/*",
                          "txt,C,N,10,1,1,F/*F is no colour", "txt,X,N,10,1,1,Y/*yellow", "txt,X,N,10,1,1/*kept"});
    Log log = previewLog(renderer, job);
    // The first text is transparent: a "line" colour does not reach "txt".
    const Log texts = {"colour 00000000", "colour 00000000", "colour ff00ff00", "colour ff00ff00"};
    Log seen;
    for (std::size_t i = 0; i + 3 < log.size(); ++i) {
        if (log[i].rfind("font ", 0) == 0) seen.push_back(log[i + 1]);
    }
    EXPECT_EQ(seen, texts);
    EXPECT_TRUE(contains(log, "font  10 regular"));  // no font letter yet: the empty family
    EXPECT_TRUE(contains(log, "font Courier New 10 regular"));
    EXPECT_EQ(renderer.state().lineColour, *colourForLetter("R"));
    EXPECT_EQ(renderer.state().boxColour, *colourForLetter("B"));
    EXPECT_EQ(renderer.state().textColour, *colourForLetter("Y"));
    EXPECT_EQ(renderer.state().fontName, "Courier New");  // "X" leaves it
}

TEST(JobRenderer, PreviewScaleFollowsOrientation)
{
    struct Case {
        std::string orientation;
        float scale;
    };
    for (const Case& c : {Case{"P", static_cast<float>(200.0 / 297.0)}, Case{"L", static_cast<float>(200.0 / 210.0)},
                          Case{"X", static_cast<float>(200.0 / 210.0)}}) {
        JobRenderer renderer;
        previewLog(renderer, jobOf({}, c.orientation), {}, 4.0f, 200.0);
        EXPECT_EQ(renderer.state().previewScale, c.scale) << c.orientation;
    }
}

TEST(JobRenderer, PreviewScalesPositionsSizesAndPicturesButNotWidths)
{
    JobRenderer renderer;
    // Height 148.5 mm in portrait gives S = 0.5; K = 2.5 pixels per millimetre.
    JobState job = jobOf({"txt,A,N,13,10.5,31,K/*t", "box,10.5,20,40,50,K,N,5/*", "line,10.5,20,30,40,K,5/*",
                          "img,10,6,51,15,logo.jpg/*", "img,1,1,1,1,missing.jpg/*", "img,2,4,3,1,logo.jpg/*",
                          "img,0,0,1000,1000,logo.jpg/*"});
    Log log = previewLog(renderer, job, {}, 2.5f, 148.5);
    const Log expected = {
        "open",
        "font Arial 6 regular", "colour ff000000", "select", "move 5 15.5", "text t",  // 13 x 0.5 = 6.5 -> 6
        "box 5 10 20 25", "colour ff000000", "stroke 0.5",                            // "10.5" reads 10
        "move 5.25 10", "line 15 20", "colour ff000000", "stroke 0.5",                 // decimal reading
        // Resized once to w x h times K pixels, halves to even, and drawn at that
        // pixel size where the page puts it.
        "resize 128 38", "move 5 3", "image 255 0 0",  // 127.5 x 37.5
        "resize 8 2", "move 1 2", "image 255 0 0",     // 7.5 x 2.5
        "move 0 0", "image 255 500 500",  // more pixels than the 800 x 1000 canvas: stretched, not resized
        "close",
    };
    EXPECT_EQ(log, expected);
}

TEST(JobRenderer, PrinterDrawsUnscaledPicturesAtFullResolution)
{
    JobRenderer renderer;
    JobState job = jobOf({"txt,A,B,12,10.5,32,R/*t", "box,10.5,2,3,4,Y,F,4/*", "img,10,5,50,15,logo.jpg/*", "eop/*",
                          "line,1.5,2,3,4,B,5/*"});
    const Log expected = {
        "choose", "start Utskrift Preview", "open",
        "font Arial 12 bold", "colour ff0000ff", "select", "move 10 32", "text t",
        "box 10 2 3 4", "colour ff00ff00", "fill", "stroke 0.4",
        "move 10 5", "image 255 50 15",  // no resize: the picture keeps its pixels
        "newPage",
        "move 1.5 2", "line 3 4", "colour ffff0000", "stroke 0.5",
        "close", "end",
    };
    EXPECT_EQ(printerLog(renderer, job), expected);
}

// A picture is loaded (and on the preview resized) once per pass for each size
// it is drawn at, whatever the number of lines naming it; a file that does not
// load is tried once. Every line is still drawn, and nothing outlives the pass.
TEST(JobRenderer, EachPassPreparesAPictureOncePerSize)
{
    const JobState job = jobOf({"img,10,5,50,15,logo.jpg/*", "img,20,5,50,15,logo.jpg/*", "eop/*",
                                "img,30,5,50,15,logo.jpg/*", "img,1,1,9,9,logo.jpg/*", "img,1,1,5,5,gone.jpg/*",
                                "img,2,2,5,5,gone.jpg/*", "img,0,0,1000,1000,logo.jpg/*",
                                "img,0,0,900,900,logo.jpg/*"});
    struct Case {
        RenderTarget target;
        std::vector<std::string> loads;
        int resizes;
    } cases[] = {
        // 200 x 60 pixels, 36 x 36, and the two too large for the canvas share the unresized one.
        {RenderTarget::Preview, {"logo.jpg", "gone.jpg", "logo.jpg", "logo.jpg"}, 2},
        // The printer never resizes: one picture for every size.
        {RenderTarget::Printer, {"logo.jpg", "gone.jpg"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target == RenderTarget::Preview ? "preview" : "printer");
        Log log;
        RecordingSurface surface(log);
        RecordingPrintJob printJob(log);
        for (int pass = 1; pass <= 2; ++pass) {
            ScriptedQuestionBox questions(log, {true});
            RenderOutputs outputs;
            outputs.canvas = &surface;
            outputs.questionBox = &questions;
            outputs.previewPixelsPerMm = 4.0f;
            outputs.printJob = &printJob;
            outputs.printerSurface = &surface;
            JobRenderer renderer;
            renderer.renderJob(job, c.target, outputs);
            EXPECT_EQ(surface.liveImages, 0);
        }
        std::vector<std::string> twice = c.loads;
        twice.insert(twice.end(), c.loads.begin(), c.loads.end());
        std::sort(twice.begin(), twice.end());
        std::sort(surface.imageLoads.begin(), surface.imageLoads.end());
        EXPECT_EQ(surface.imageLoads, twice);  // each pass loads afresh
        EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& e) { return e.rfind("resize", 0) == 0; }),
                  2 * c.resizes);
        EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& e) { return e.rfind("image", 0) == 0; }),
                  2 * 6);
    }
}

// What a pass keeps is bounded: the least recently drawn pictures go first once
// the pixels or the entries pass their limits, and the newest stays even alone over them.
TEST(SurfacePictures, KeepsTheRecentPicturesWithinTheirLimits)
{
    struct Sized : SurfaceImage {
        explicit Sized(std::int64_t pixels) : pixels_(pixels) {}
        std::int64_t pixelCount() const override { return pixels_; }
        std::int64_t pixels_;
    };
    const std::int64_t third = kKeptPicturePixels / 3;
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::int64_t>> draws;  // file, its pixels
        std::vector<std::string> loads;
    } cases[] = {
        {"three fit", {{"a", third}, {"b", third}, {"c", third}, {"a", third}}, {"a", "b", "c"}},
        {"the fourth pushes out the oldest", {{"a", third}, {"b", third}, {"c", third}, {"d", third}, {"b", third},
                                              {"a", third}},
         {"a", "b", "c", "d", "a"}},
        {"one over the limit stays until the next", {{"a", 2 * kKeptPicturePixels}, {"a", 1}, {"b", 1}, {"a", 1}},
         {"a", "b", "a"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SurfacePictures pictures;
        std::vector<std::string> loads;
        for (const auto& [file, pixels] : c.draws) {
            const SurfaceImage* image = pictures.find(file, 0, 0, [&, pixels = pixels, file = file] {
                loads.push_back(file);
                return std::make_unique<Sized>(pixels);
            });
            EXPECT_NE(image, nullptr);
        }
        EXPECT_EQ(loads, c.loads);
    }
    // Failed loads count as entries: more names than entries are kept tried again.
    SurfacePictures pictures;
    int tries = 0;
    const auto fail = [&] {
        ++tries;
        return std::unique_ptr<SurfaceImage>();
    };
    for (std::size_t i = 0; i <= kKeptPictures; ++i) pictures.find(std::to_string(i), 0, 0, fail);
    pictures.find(std::to_string(kKeptPictures), 0, 0, fail);
    pictures.find("0", 0, 0, fail);
    EXPECT_EQ(tries, static_cast<int>(kKeptPictures) + 2);
}

TEST(JobRenderer, PrinterPassEndsOrDrawsNothingWhenThePrinterIsNotThere)
{
    JobState job = jobOf({"txt,A,B,12,1,1,R/*t", "eop/*"});
    JobRenderer cancelled;
    EXPECT_EQ(printerLog(cancelled, job, false), (Log{"choose"}));
    EXPECT_EQ(cancelled.state().textColour, ColourSlot{});  // no line was read

    JobRenderer failed;
    EXPECT_EQ(printerLog(failed, job, true, false), (Log{"choose", "start Utskrift Preview"}));
    EXPECT_EQ(failed.state().textColour, *colourForLetter("R"));
}

TEST(JobRenderer, FinalEopGivesTheNextPageOnEveryTarget)
{
    JobState job = jobOf({"txt,A,B,12,1,1,K/*t", "eop/*"});
    JobRenderer renderer;
    Log printer = printerLog(renderer, job);
    EXPECT_EQ(std::count(printer.begin(), printer.end(), "newPage"), 1);
    EXPECT_EQ(printer.back(), "end");

    Log preview = previewLog(renderer, job, {true});
    const Log tail = {"close", "ask Multiple Pages! | Select OK if you want to see the next.", "open",
                      "box 0 0 800 1000", "colour ffffffff", "fill", "close"};
    ASSERT_GE(preview.size(), tail.size());
    EXPECT_EQ(Log(preview.end() - static_cast<long>(tail.size()), preview.end()), tail);
}

TEST(JobRenderer, NoAtTheFirstQuestionEndsThePreviewPass)
{
    JobRenderer renderer;
    JobState job = jobOf({"txt,A,B,12,1,1,K/*page one", "eop/*", "txt,A,B,12,1,1,R/*page two", "eop/*",
                          "txt,A,B,12,1,1,B/*page three"});
    Log log = previewLog(renderer, job, {false});
    EXPECT_FALSE(contains(log, "text page two"));
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& s) { return s.rfind("ask ", 0) == 0; }), 1);
    EXPECT_EQ(Log(log.end() - 3, log.end()), (Log{"ask Multiple Pages! | Select OK if you want to see the next.", "open",
                                                  "close"}));
    // The lines after the answer were not read either.
    EXPECT_EQ(renderer.state().textColour, *colourForLetter("K"));

    JobRenderer pagedThrough;
    Log all = previewLog(pagedThrough, job, {true, true});
    EXPECT_TRUE(contains(all, "text page three"));
    EXPECT_EQ(pagedThrough.state().textColour, *colourForLetter("B"));
}

TEST(JobRenderer, SecondPassStartsWithTheColoursOfTheFirst)
{
    JobRenderer renderer;
    previewLog(renderer, jobOf({"txt,C,N,10,1,1,R/*x", "line,1,1,2,2,Y,1/*", "box,1,1,1,1,B,F,1/*"}));
    // This job has no letters of its own: everything comes from the preview pass.
    Log log = printerLog(renderer, jobOf({"txt,X,N,10,1,1/*y", "line,1,1,2,2,-,1/*", "box,1,1,1,1,,F,1/*"}));
    EXPECT_EQ(Log(log.begin() + 3, log.begin() + 5), (Log{"font Courier New 10 regular", "colour ff0000ff"}));
    EXPECT_TRUE(contains(log, "colour ff00ff00"));  // line
    EXPECT_TRUE(contains(log, "colour ffff0000"));  // box
}

TEST(JobRenderer, MissingOutputsDrawNothingButStillReadTheLines)
{
    JobRenderer renderer;
    renderer.renderJob(jobOf({"txt,C,N,10,1,1,R/*x"}), RenderTarget::Pdf, RenderOutputs{});
    EXPECT_EQ(renderer.state().fontName, "Courier New");
    EXPECT_EQ(renderer.state().textColour, *colourForLetter("R"));
}

// Following the preview must leave the state exactly where a preview pass over
// the null outputs does, whatever the job: the PDF export starts from it.
TEST(JobRenderer, FollowingThePreviewMovesTheStateAsAFullPreviewPass)
{
    const std::vector<std::string> lines = {
        "txt,C,N,10,1,1,R/*x", "txt,A,B,12,1,1,Y/*", "txt,a,B,12,1,1,k/*", "txt,X/*", "txt/*", "txt,C",
        "line,1,1,2,2,B,1/*",  "line,1,1,2,2,R",     "line,1,1,2,2, B/*",  "box,1,1,1,1,K,F,1/*",
        "box,1,1,1,1,Y,N,1/*", "box,1,1,1,1,/*",     "eop/*",              "eop",  "EOP/*", "",
        "img,1,1,5,5,none.jpg/*", "txt,A,N,12,1,1,R/*a,b/*c", "unknown,R,R,R,R,R,R/*",
    };
    std::mt19937 random(20261209);
    for (int job = 0; job < 200; ++job) {
        std::vector<std::string> chosen;
        int count = std::uniform_int_distribution<int>(0, 30)(random);
        for (int i = 0; i < count; ++i) {
            chosen.push_back(lines[std::uniform_int_distribution<std::size_t>(0, lines.size() - 1)(random)]);
        }
        // Every fourth job as raw text whose header line does not end with a CR, so
        // that its last piece is no line.
        JobState state = jobOf(chosen, job % 3 == 0 ? "L" : "P");
        if (job % 4 == 0) {
            std::string raw = "T,P/*X";
            for (const std::string& line : chosen) raw += line + "\r";
            if (!chosen.empty()) raw.pop_back();
            state = intakeJob(raw);
        }
        JobRenderer passed, followed;
        NullSurface canvas;
        YesQuestionBox yes;
        RenderOutputs preview;
        preview.canvas = &canvas;
        preview.questionBox = &yes;
        passed.renderJob(state, RenderTarget::Preview, preview);
        previewEveryPage(followed, state);

        SCOPED_TRACE("job " + std::to_string(job));
        EXPECT_EQ(followed.state().previewScale, passed.state().previewScale);
        EXPECT_EQ(followed.state().fontName, passed.state().fontName);
        EXPECT_EQ(followed.state().textColour, passed.state().textColour);
        EXPECT_EQ(followed.state().lineColour, passed.state().lineColour);
        EXPECT_EQ(followed.state().boxColour, passed.state().boxColour);
    }
}

}  // namespace
}  // namespace tabulon::render
