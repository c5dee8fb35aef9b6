// The command line of tabulon-export. Every option is one entry of a table
// (name, whether it takes a value, what it sets), so that new front ends can add
// theirs in one place; the same table writes the --help text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tabulon::exporter {

enum class JobSource { StandardInput, File, Demo };
enum class InputEncoding { Utf8, Windows1252 };

// The largest screen side --screen takes, in pixels. The page picture is three
// quarters of the screen's height high, so a larger screen would ask for
// gigabytes of pixels for every page.
inline constexpr int kMaxScreenSide = 16384;

struct ExportOptions {
    JobSource source = JobSource::StandardInput;
    std::string inputFile;    // for JobSource::File
    InputEncoding encoding = InputEncoding::Utf8;
    std::string outputFile;   // empty: documentName + ".pdf" in the current folder
    bool compress = false;
    bool subset = false;  // embed TrueType fonts as subsets of the glyphs drawn
    bool help = false;
    // Check the job and report its findings instead of exporting it.
    bool check = false;
    // Pictures of the preview's pages, for a screen of screenWidth x screenHeight.
    std::string pngDir;
    int screenWidth = 1920;
    int screenHeight = 1080;
    // Print on this printer, without a dialog.
    std::string printer;
};

struct ParseResult {
    ExportOptions options;
    std::string error;  // empty when the command line was understood
};

ParseResult parseExportOptions(const std::vector<std::string>& arguments);

// True when the options ask for page pictures or for printing.
bool wantsDesktopOutputs(const ExportOptions& options);

// The --help text; `buildNote`, when not empty, is a line about this build that
// follows the options.
std::string exportUsage(std::string_view buildNote = {});

}  // namespace tabulon::exporter
