#include "export_options.h"

#include <functional>

namespace tabulon::exporter {

namespace {

struct OptionEntry {
    const char* name;
    const char* valueName;  // null for an option without a value
    const char* description;
    // Applies the option; returns an error text, or "" when the value is fine.
    std::function<std::string(ExportOptions&, const std::string& value)> apply;
};

// "WIDTHxHEIGHT" in pixels, each from 1 to kMaxScreenSide.
std::string parseScreen(const std::string& value, ExportOptions& options)
{
    const auto x = value.find('x');
    // 0 for text that is no number of pixels, -1 for a number beyond the limit.
    const auto number = [](const std::string& text) {
        if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return 0;
        if (text.size() > 9) return -1;
        const int read = std::stoi(text);
        return read > kMaxScreenSide ? -1 : read;
    };
    const int width = x == std::string::npos ? 0 : number(value.substr(0, x));
    const int height = x == std::string::npos ? 0 : number(value.substr(x + 1));
    if (width == 0 || height == 0) {
        return "--screen needs WIDTHxHEIGHT in pixels, such as 1920x1080, not \"" + value + "\"";
    }
    if (width < 0 || height < 0) {
        return "--screen " + value + " is too large: at most " + std::to_string(kMaxScreenSide) + " pixels a side";
    }
    options.screenWidth = width;
    options.screenHeight = height;
    return std::string();
}

const std::vector<OptionEntry>& optionTable()
{
    static const std::vector<OptionEntry> table = {
        {"--demo", nullptr, "export the demo's four-page job instead of reading one",
         [](ExportOptions& o, const std::string&) {
             o.source = JobSource::Demo;
             return std::string();
         }},
        {"-o", "FILE", "write the PDF to FILE (default: the job's document name + \".pdf\" in the current folder)",
         [](ExportOptions& o, const std::string& value) {
             o.outputFile = value;
             return std::string();
         }},
        {"--encoding", "NAME",
         "how the job's bytes are read: utf-8 (default; characters outside Windows-1252 become \"?\") "
         "or cp1252 (taken as they are)",
         [](ExportOptions& o, const std::string& value) {
             if (value == "utf-8" || value == "utf8" || value == "UTF-8") {
                 o.encoding = InputEncoding::Utf8;
             } else if (value == "cp1252" || value == "windows-1252") {
                 o.encoding = InputEncoding::Windows1252;
             } else {
                 return "unknown encoding \"" + value + "\" (use utf-8 or cp1252)";
             }
             return std::string();
         }},
        {"--compress", nullptr, "deflate page contents, forms and font files",
         [](ExportOptions& o, const std::string&) {
             o.compress = true;
             return std::string();
         }},
        {"--subset", nullptr, "embed TrueType fonts with only the glyphs the document draws",
         [](ExportOptions& o, const std::string&) {
             o.subset = true;
             return std::string();
         }},
        {"--png", "DIR",
         "write the preview's pages as DIR/page-1.png, page-2.png, ... instead of a PDF",
         [](ExportOptions& o, const std::string& value) {
             o.pngDir = value;
             return std::string();
         }},
        {"--screen", "WxH",
         "the screen the --png pages are laid out for, at most 16384 pixels a side (default 1920x1080)",
         [](ExportOptions& o, const std::string& value) { return parseScreen(value, o); }},
        {"--print", "PRINTER", "print the job on PRINTER (a CUPS queue) without a dialog, instead of a PDF",
         [](ExportOptions& o, const std::string& value) {
             o.printer = value;
             return std::string();
         }},
        {"--check", nullptr,
         "check the job instead of exporting it: one line per finding, NAME:LINE: warning: TEXT or "
         "NAME:LINE: note: TEXT, on standard output; no PDF is written",
         [](ExportOptions& o, const std::string&) {
             o.check = true;
             return std::string();
         }},
        {"--help", nullptr, "show this text and exit",
         [](ExportOptions& o, const std::string&) {
             o.help = true;
             return std::string();
         }},
    };
    return table;
}

const OptionEntry* findOption(const std::string& name)
{
    for (const OptionEntry& entry : optionTable()) {
        if (name == entry.name) return &entry;
    }
    return nullptr;
}

}  // namespace

ParseResult parseExportOptions(const std::vector<std::string>& arguments)
{
    ParseResult result;
    bool haveInput = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.size() > 1 && argument[0] == '-' && argument != "-") {
            const OptionEntry* entry = findOption(argument);
            if (entry == nullptr) {
                result.error = "unknown option " + argument;
                return result;
            }
            std::string value;
            if (entry->valueName != nullptr) {
                if (i + 1 >= arguments.size()) {
                    result.error = argument + " needs " + entry->valueName;
                    return result;
                }
                value = arguments[++i];
            }
            if (std::string error = entry->apply(result.options, value); !error.empty()) {
                result.error = error;
                return result;
            }
            continue;
        }
        if (haveInput) {
            result.error = "more than one job file given";
            return result;
        }
        haveInput = true;
        if (argument != "-") {
            result.options.inputFile = argument;
            if (result.options.source != JobSource::Demo) result.options.source = JobSource::File;
        }
    }
    if (result.options.source == JobSource::Demo && haveInput) {
        result.error = "--demo takes no job file";
    }
    const ExportOptions& o = result.options;
    if (o.check && (!o.outputFile.empty() || o.compress || wantsDesktopOutputs(o))) {
        result.error = "--check writes nothing; it takes no -o, --compress, --png or --print";
    }
    return result;
}

bool wantsDesktopOutputs(const ExportOptions& options)
{
    return !options.pngDir.empty() || !options.printer.empty();
}

std::string exportUsage(std::string_view buildNote)
{
    std::string text =
        "Usage: tabulon-export [OPTIONS] [JOB]\n"
        "       tabulon-export --check [--encoding NAME] [JOB]\n"
        "Writes a print job as a PDF file, the same file the preview's PDF export writes\n"
        "after every page was looked at. The job is read from the file JOB, or from\n"
        "standard input when JOB is \"-\" or missing. With --check it reads the job the\n"
        "same way, writes nothing, and lists the lines that will not draw as they seem\n"
        "to ask (warnings) or that are skipped (notes).\n\n"
        "Options:\n";
    for (const OptionEntry& entry : optionTable()) {
        std::string name = entry.name;
        if (entry.valueName != nullptr) name += std::string(" ") + entry.valueName;
        text += "  " + name + std::string(name.size() < 16 ? 16 - name.size() : 1, ' ') + entry.description + "\n";
    }
    if (!buildNote.empty()) text += "\n" + std::string(buildNote) + "\n";
    text +=
        "\nExit status: 0 when the PDF was written, 1 when it was not (the reason is on\n"
        "standard error), 2 for a command line that was not understood. A picture that\n"
        "could not be embedded is a warning; the PDF is written without it.\n"
        "With --check: 0 when the job has no warning (notes are fine), 1 when it has\n"
        "at least one, 2 for a command line not understood or a job that cannot be read.\n";
    return text;
}

}  // namespace tabulon::exporter
