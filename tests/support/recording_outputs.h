// Outputs for renderer tests: a surface that writes down every call as one text
// line, a question box that answers from a script and a print job that records
// its steps into the same log.
#pragma once

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "print_job.h"
#include "question_box.h"
#include "vector_surface.h"

namespace tabulon::test {

class RecordingSurface : public render::VectorSurface {
public:
    explicit RecordingSurface(std::vector<std::string>& log, double height = 297.0) : log_(log), height_(height) {}

    // Files whose pictures load; every other name fails to load.
    std::vector<std::string> loadableImages = {"logo.jpg"};
    int liveFonts = 0;
    int liveImages = 0;
    std::vector<std::string> imageLoads;  // the file of every loadImage call

    void open() override { log_.push_back("open"); }
    void close() override { log_.push_back("close"); }
    double outputHeight() override { return height_; }
    void setSourceColour(std::uint32_t rgba) override { put("colour %08x", rgba); }
    void movePathCursor(double x, double y) override { put("move %g %g", x, y); }
    void addPathLine(double x, double y) override { put("line %g %g", x, y); }
    void addPathBox(double x, double y, double w, double h) override { put("box %g %g %g %g", x, y, w, h); }
    void fillPath() override { log_.push_back("fill"); }
    void strokePath(double width) override { put("stroke %g", width); }
    std::unique_ptr<render::SurfaceFont> loadFont(const std::string& family, int sizePt, bool bold) override
    {
        log_.push_back("font " + family + " " + std::to_string(sizePt) + (bold ? " bold" : " regular"));
        return std::make_unique<Font>(liveFonts);
    }
    void selectVectorFont(const render::SurfaceFont&) override { log_.push_back("select"); }
    void drawText(const std::string& text) override { log_.push_back("text " + text); }
    int canvasWidth() override { return 800; }
    int canvasHeight() override { return 1000; }
    void makeJpegDecoderAvailable() override {}
    std::unique_ptr<render::SurfaceImage> loadImage(const std::string& file) override
    {
        imageLoads.push_back(file);
        for (const std::string& name : loadableImages) {
            if (name == file) return std::make_unique<Image>(liveImages);
        }
        return nullptr;
    }
    void resizeImage(render::SurfaceImage&, int w, int h) override { put("resize %d %d", w, h); }
    void drawImage(const render::SurfaceImage&, int alpha, double w, double h) override
    {
        put("image %d %g %g", alpha, w, h);
    }

private:
    // Counts itself while alive, so tests can see fonts and pictures released.
    struct Font : render::SurfaceFont {
        explicit Font(int& live) : live_(live) { ++live_; }
        ~Font() override { --live_; }
        int& live_;
    };
    struct Image : render::SurfaceImage {
        explicit Image(int& live) : live_(live) { ++live_; }
        ~Image() override { --live_; }
        std::int64_t pixelCount() const override { return 100; }
        int& live_;
    };

    template <typename... Args>
    void put(const char* format, Args... args)
    {
        char text[160];
        std::snprintf(text, sizeof text, format, args...);
        log_.push_back(text);
    }

    std::vector<std::string>& log_;
    double height_;
};

// Answers Yes or No in the order given; No once the script is used up.
class ScriptedQuestionBox : public render::QuestionBox {
public:
    ScriptedQuestionBox(std::vector<std::string>& log, std::deque<bool> answers) : log_(log), answers_(answers) {}
    bool ask(const std::string& caption, const std::string& text) override
    {
        log_.push_back("ask " + caption + " | " + text);
        if (answers_.empty()) return false;
        bool answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

private:
    std::vector<std::string>& log_;
    std::deque<bool> answers_;
};

class RecordingPrintJob : public render::PrintJob {
public:
    explicit RecordingPrintJob(std::vector<std::string>& log, bool chosen = true, bool starts = true)
        : log_(log), chosen_(chosen), starts_(starts)
    {
    }
    bool choosePrinter() override
    {
        log_.push_back("choose");
        return chosen_;
    }
    bool start(const std::string& name) override
    {
        log_.push_back("start " + name);
        return starts_;
    }
    void newPage() override { log_.push_back("newPage"); }
    void end() override { log_.push_back("end"); }

private:
    std::vector<std::string>& log_;
    bool chosen_;
    bool starts_;
};

}  // namespace tabulon::test
