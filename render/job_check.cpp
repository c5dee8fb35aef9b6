#include "job_check.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>

#include "ansi_text.h"
#include "file_output.h"
#include "job_format.h"
#include "pdf_export.h"
#include "pdf_writer.h"

namespace tabulon::render {

namespace {

constexpr std::size_t kShownBytes = 40;
constexpr std::string_view kHeaderEnd = "/*";
// A UTF-8 byte order mark, as an editor may put it before a job.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// The longest file name most file systems take, in bytes.
constexpr std::size_t kLongestFileName = 255;

std::string shown(float value)
{
    char text[32];
    auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::string caseFolded(std::string_view text, bool upper)
{
    std::string folded(text);
    for (char& c : folded) {
        if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

// How the outputs read a number field.
enum class Reading {
    Whole,          // whole numbers everywhere
    Decimal,        // decimal numbers everywhere
    WholeOnScreen,  // whole on the preview and the printer, decimal in the PDF
};

struct PageSize {
    float width = 0;
    float height = 0;
};

std::optional<PageSize> pageSizeFor(std::string_view orientation)
{
    if (orientation == "P") return PageSize{210, 297};
    if (orientation == "L") return PageSize{297, 210};
    return std::nullopt;
}

// True when the span [a, b] (either way round) misses [0, size].
bool outside(float a, float b, float size) { return std::max(a, b) < 0 || std::min(a, b) > size; }

class Checker {
public:
    explicit Checker(const JobState& job) : job_(job) {}

    std::vector<JobFinding> run()
    {
        if (checkHeader()) checkLines();
        std::stable_sort(findings_.begin(), findings_.end(),
                         [](const JobFinding& a, const JobFinding& b) { return a.line < b.line; });
        return std::move(findings_);
    }

private:
    void warn(std::string text) { findings_.push_back({line_, FindingKind::Warning, std::move(text)}); }
    void note(std::string text) { findings_.push_back({line_, FindingKind::Note, std::move(text)}); }

    bool checkHeader();
    void checkDocumentName(const std::string& name);
    void checkLines();
    void checkLine(std::string_view text, bool last);
    void checkNoCommand(const JobLine& line);
    void checkText(const JobLine& line);
    void checkPicture(const JobLine& line);
    void checkStraightLine(const JobLine& line);
    void checkBox(const JobLine& line);
    void checkEndOfPage();
    void checkFieldCount(const JobLine& line, std::size_t fields);
    std::optional<float> number(const JobLine& line, std::size_t n, std::string_view name, Reading reading);
    void colourLetter(const JobLine& line, std::size_t n, bool& set, std::string_view kind);
    void fontLetter(const JobLine& line);
    void style(std::string_view field);
    void outsidePage(bool isOutside, std::string_view what);

    const JobState& job_;
    std::int64_t line_ = 1;
    std::vector<JobFinding> findings_;
    std::optional<PageSize> page_;
    bool textColourSet_ = false;
    bool lineColourSet_ = false;
    bool boxColourSet_ = false;
    bool fontSet_ = false;
    int pageNumber_ = 1;
    bool pageDrawn_ = false;
    std::int64_t lastEndOfPage_ = 0;  // the line of the last "eop", 0 before one
    std::size_t lfFinding_ = 0;        // index + 1 of the line-feed warning
    std::int64_t lfLines_ = 0;
    JobLine parsed_;  // reused from line to line, so that its field table is allocated once
    std::optional<pdf::PdfWriter> probe_;
    std::map<std::string, PicturePlacement, std::less<>> pictures_;
};

bool Checker::checkHeader()
{
    std::string_view text = job_.text;
    const std::size_t headerEnd = text.find(kHeaderEnd);
    std::string_view header = text.substr(0, headerEnd);
    if (header.size() < 2) {
        warn("the header '" + quotedField(header) +
             "' is shorter than two characters: the whole job is ignored; begin the job with NAME,P/* and a CR");
        return false;
    }
    if (headerEnd == std::string_view::npos) {
        warn("the job has no '/*': it is all header and nothing is drawn; end the header line with /* and a CR");
        return false;
    }
    const std::size_t after = headerEnd + kHeaderEnd.size();
    if (header.find('\r') != std::string_view::npos) {
        const auto lastLine = 1 + std::count(header.begin(), header.end(), '\r');
        warn("the header line does not end with '/*': the header reaches to the first '/*', on line " +
             std::to_string(lastLine) + ", and nothing before it is drawn; end the header line with /* and a CR");
    } else if (after < text.size() && text[after] != '\r' && job_.lineCount > 0) {
        warn("the header line goes on after '/*': the character after it is dropped and the rest of the line is "
             "read as a job line; end the header line with /* and a CR");
    }

    const std::size_t comma = header.find(',');
    if (comma == std::string_view::npos) {
        warn("the header has no orientation: write NAME,P/* (portrait) or NAME,L/* (landscape)");
    } else if (job_.orientationCode != "P" && job_.orientationCode != "L") {
        warn("orientation '" + quotedField(job_.orientationCode) +
             "' is not P (portrait) or L (landscape): the preview, the printer and the PDF may shape the page "
             "differently; write P or L");
    } else if (std::string_view rest = header.substr(comma + 1); rest.find(',') != std::string_view::npos) {
        note("the header's fields after the orientation ('" + quotedField(rest.substr(rest.find(',') + 1)) +
             "') are ignored");
    }
    page_ = pageSizeFor(job_.orientationCode);
    checkDocumentName(job_.documentName);
    if (job_.lineCount == 0 && !job_.lineText().empty()) {
        warn("the job has no CR: its lines are not job lines (LF does not end a line) and nothing is drawn; end "
             "every line with CR");
    }
    return true;
}

void Checker::checkDocumentName(const std::string& name)
{
    const std::string fileName = name + ".pdf";
    if (name.starts_with(kByteOrderMark)) {
        warn("the job starts with a UTF-8 byte order mark, read here as Windows-1252 letters of the document name; "
             "write the job without it, or read it as UTF-8");
    }
    if (name.empty()) {
        warn("the document name is empty: the PDF is written as '.pdf' (a hidden file on Linux); write a name "
             "before the comma");
    } else if (!pdf::isValidFileName(fileName)) {
        warn("document name '" + quotedField(name) + "' is no file name, so the PDF export fails (\"" +
             std::string(pdf::errorText(pdf::kBadFileName)) +
             "\"); leave out control characters and \" : * ? < > | / \\");
    } else if (name.find_first_of("/\\") != std::string::npos) {
        warn("document name '" + quotedField(name) +
             "' holds a folder separator: the PDF is written outside the current folder; leave out / and \\");
    } else if (fileName.size() > kLongestFileName) {
        warn("the document name is " + std::to_string(name.size()) +
             " bytes long: with '.pdf' it is longer than the 255 bytes a file name may have, so the PDF cannot be "
             "written; shorten it");
    }
}

void Checker::checkLines()
{
    std::string_view text = job_.text;
    std::size_t counted = 0;
    std::int64_t crs = 0;
    JobLineCursor cursor = job_.lines();
    std::int32_t left = job_.lineCount;
    std::string_view piece;
    while (cursor.next(piece)) {
        --left;
        // A line that lies past the text's end is empty and draws nothing.
        if (piece.data() == nullptr) continue;
        const auto at = static_cast<std::size_t>(piece.data() - text.data());
        crs += std::count(text.begin() + static_cast<std::ptrdiff_t>(counted),
                          text.begin() + static_cast<std::ptrdiff_t>(at), '\r');
        counted = at;
        line_ = crs + 1;
        checkLine(piece, left == 0);
    }
    if (lfFinding_ > 0 && lfLines_ > 1) {
        const std::int64_t more = lfLines_ - 1;
        findings_[lfFinding_ - 1].text +=
            " (" + std::to_string(more) + (more == 1 ? " more line starts" : " more lines start") + " with LF)";
    }
    if (lastEndOfPage_ > 0 && !pageDrawn_) {
        line_ = lastEndOfPage_;
        warn("nothing is drawn after the last 'eop': the last page (page " + std::to_string(pageNumber_) +
             ") is empty on the printer and in the PDF; leave out the last 'eop'");
    }
}

void Checker::checkLine(std::string_view text, bool last)
{
    if (text.empty()) {
        // The CR that ends the last line leaves an empty line behind it, as the format intends.
        if (!last) note("empty line: skipped");
        return;
    }
    if (text.front() == '\n') {
        if (lfFinding_ == 0) {
            warn("the line starts with LF: it is no command and draws nothing (a job written with CR LF line "
                 "ends draws nothing after its header); end every line with CR alone");
            lfFinding_ = findings_.size();
        }
        ++lfLines_;
        return;
    }
    splitJobLine(text, parsed_);
    const JobLine& line = parsed_;
    switch (line.command) {
    case JobCommand::None: checkNoCommand(line); break;
    case JobCommand::Text: checkText(line); break;
    case JobCommand::Picture: checkPicture(line); break;
    case JobCommand::Line: checkStraightLine(line); break;
    case JobCommand::Box: checkBox(line); break;
    case JobCommand::EndOfPage: checkEndOfPage(); break;
    }
    if (line.command != JobCommand::None && line.command != JobCommand::EndOfPage) pageDrawn_ = true;
}

void Checker::checkNoCommand(const JobLine& line)
{
    std::string_view header = std::string_view(job_.text).substr(0, job_.text.find(kHeaderEnd));
    std::string_view word = line.commandWord();
    if (line.commandHeader == header) {
        note("the header line again: skipped as no command");
    } else if (const std::string folded = caseFolded(trimBlanks(word), false);
               commandForWord(folded) != JobCommand::None) {
        warn("'" + quotedField(word) + "' is not a command (command words are lower case, without blanks): the line "
             "is skipped; write '" + folded + "'");
    } else if (word.empty()) {
        note("no command word: the line is skipped");
    } else {
        note("'" + quotedField(word) + "' is no command (txt, img, line, box, eop): the line is skipped");
    }
}

void Checker::checkFieldCount(const JobLine& line, std::size_t fields)
{
    if (line.fields.size() <= fields + 1) return;
    const std::size_t first = fields + 2;
    warn(std::string(line.commandWord()) + " takes " + std::to_string(fields) + " fields but the line has " +
         std::to_string(line.fields.size() - 1) + ": field " + std::to_string(first) + " ('" +
         quotedField(line.field(first)) + "') and any after it are ignored; a comma inside a value, such as a "
         "decimal comma, splits it (write 10.5)");
}

std::optional<float> Checker::number(const JobLine& line, std::size_t n, std::string_view name, Reading reading)
{
    const std::string label = std::string(name) + " (field " + std::to_string(n) + ")";
    if (n > line.fields.size()) {
        warn(label + " is missing: it reads as 0; write a number");
        return std::nullopt;
    }
    const std::string_view field = line.field(n);
    const std::size_t wholeEnd = integerEnd(field);
    const std::size_t decimalStop = decimalEnd(field);
    const float whole = static_cast<float>(readInteger(field));
    const float decimal = readDecimal(field);
    const std::string quoted = label + " '" + quotedField(field) + "'";
    if ((reading == Reading::Decimal ? decimalStop : std::max(wholeEnd, decimalStop)) == 0) {
        warn((field.empty() ? label + " is empty" : quoted + " is not a number") + ": it reads as 0; write a number");
        return std::nullopt;
    }
    if (reading == Reading::WholeOnScreen && whole != decimal) {
        warn(quoted + " reads as " + shown(whole) + " on the preview and the printer but as " + shown(decimal) +
             " in the PDF, so they draw it at different places; write a whole number");
    } else if (reading == Reading::Whole && decimalStop > wholeEnd && whole != decimal) {
        warn(quoted + " is read as the whole number " + shown(whole) + " on every output; write a whole number");
    } else {
        const std::size_t end = reading == Reading::Decimal ? decimalStop
                                : reading == Reading::Whole && whole != decimal ? wholeEnd
                                                                                : std::max(wholeEnd, decimalStop);
        if (std::string_view rest = trimBlanks(field.substr(end)); !rest.empty()) {
            note(quoted + " reads as " + shown(reading == Reading::Whole ? whole : decimal) + "; the rest ('" +
                 quotedField(rest) + "') is ignored");
        }
    }
    return reading == Reading::Whole ? whole : decimal;
}

void Checker::colourLetter(const JobLine& line, std::size_t n, bool& set, std::string_view kind)
{
    const std::string_view field = line.field(n);
    if (colourForLetter(field)) {
        set = true;
        return;
    }
    if (!field.empty()) {
        std::string text = "colour letter '" + quotedField(field) + "' is not a colour (K, R, B, Y); the " +
                           std::string(kind) + " keeps the previous " + std::string(kind) + " colour";
        const std::string folded = caseFolded(trimBlanks(field), true);
        if (colourForLetter(folded)) text += "; write '" + folded + "'";
        warn(std::move(text));
    }
    if (!set) {
        warn("no " + std::string(kind) + " colour letter before this " + std::string(kind) +
             ": it is invisible on the preview and the printer; write K, R, B or Y in field " + std::to_string(n));
    }
}

void Checker::fontLetter(const JobLine& line)
{
    const std::string_view field = line.text().fontLetter;
    if (familyForLetter(field)) {
        fontSet_ = true;
        return;
    }
    if (!field.empty()) {
        std::string text = "font letter '" + quotedField(field) +
                           "' is not a font (A Arial, C Courier New); the text keeps the previous font";
        const std::string folded = caseFolded(trimBlanks(field), true);
        if (familyForLetter(folded)) text += "; write '" + folded + "'";
        warn(std::move(text));
    }
    if (!fontSet_) {
        warn("no font letter before this text: its font family is empty, and each output picks a font of its "
             "own; write A or C in field 2");
    }
}

void Checker::style(std::string_view field)
{
    // The PDF reads the style's letters in either case, blanks around them
    // ignored: B bold, I italic, U underlined. The preview and the printer know
    // exactly "B", bold.
    const std::string pdfStyle = caseFolded(trimBlanks(field), true);
    const bool pdfBold = pdfStyle.find('B') != std::string::npos;
    if (pdfBold && !isBoldStyle(field)) {
        warn("style '" + quotedField(field) + "' (field 3) is bold in the PDF only (the preview and the printer "
             "take exactly B as bold); write B");
    }
    if (pdfStyle.find_first_of("IU") != std::string::npos) {
        warn("style '" + quotedField(field) + "' (field 3) is italic or underlined in the PDF only (the preview and "
             "the printer know only B, bold); leave out I and U");
    }
}

void Checker::outsidePage(bool isOutside, std::string_view what)
{
    if (!isOutside || !page_) return;
    warn(std::string(what) + " lies wholly outside the page (" + shown(page_->width) + " x " + shown(page_->height) +
         " mm): nothing of it shows");
}

void Checker::checkText(const JobLine& line)
{
    checkFieldCount(line, 6);
    fontLetter(line);
    const TextFields fields = line.text();
    style(fields.style);
    if (std::optional<float> size = number(line, 4, "size", Reading::Whole); size && *size == 0) {
        warn("size 0 (field 4): the text does not show on the preview and the printer, and the PDF takes the "
             "previous size; write a size in points above 0");
    } else if (size && *size < 0) {
        warn("size " + shown(*size) + " (field 4) is below 0: the outputs draw such text differently, if at all; "
             "write a size in points above 0");
    }
    std::optional<float> x = number(line, 5, "x", Reading::WholeOnScreen);
    std::optional<float> y = number(line, 6, "y", Reading::WholeOnScreen);
    colourLetter(line, 7, textColourSet_, "text");
    if (line.freeText.empty()) note("the text is empty: nothing is drawn");
    if (x && y && page_) outsidePage(*x > page_->width || *y > page_->height, "the text");
}

void Checker::checkPicture(const JobLine& line)
{
    checkFieldCount(line, 5);
    std::optional<float> x = number(line, 2, "x", Reading::Whole);
    std::optional<float> y = number(line, 3, "y", Reading::Whole);
    std::optional<float> w = number(line, 4, "width", Reading::Whole);
    std::optional<float> h = number(line, 5, "height", Reading::Whole);
    if ((w && *w == 0) || (h && *h == 0)) {
        warn("a picture width or height of 0: the preview and the printer draw nothing, the PDF draws the picture "
             "at a size of its own; give both in millimetres");
    }
    if (x && y && w && h && page_) outsidePage(outside(*x, *x + *w, page_->width) || outside(*y, *y + *h, page_->height), "the picture");

    const PictureFields fields = line.picture();
    if (fields.file.empty()) {
        warn("no picture file (field 6): nothing is drawn; write the file's name");
        return;
    }
    auto known = pictures_.find(fields.file);
    if (known == pictures_.end()) {
        if (!probe_) {
            probe_.emplace();
            probe_->initialize();
            probe_->create("P", "mm", "595.28,841.89");
            probe_->addPage("", "");
        }
        known = pictures_.emplace(std::string(fields.file), placePicture(*probe_, fields)).first;
    }
    const PicturePlacement& placement = known->second;
    if (placement.failure) {
        const std::string& reason = placement.failure->reason;
        warn("picture " + fileNameForMessage(placement.failure->file) + " cannot be embedded (" +
             (reason.empty() ? std::string("the writer refuses it") : reason) + "): the PDF is written without it");
    } else if (placement.warning) {
        warn("picture " + fileNameForMessage(placement.warning->file) + " may be damaged: " + placement.warning->text +
             "; it may not show whole");
    }
}

void Checker::checkStraightLine(const JobLine& line)
{
    checkFieldCount(line, 6);
    std::optional<float> x1 = number(line, 2, "x1", Reading::Decimal);
    std::optional<float> y1 = number(line, 3, "y1", Reading::Decimal);
    std::optional<float> x2 = number(line, 4, "x2", Reading::Decimal);
    std::optional<float> y2 = number(line, 5, "y2", Reading::Decimal);
    colourLetter(line, 6, lineColourSet_, "line");
    number(line, 7, "width", Reading::Whole);
    if (x1 && y1 && x2 && y2 && page_) {
        outsidePage(outside(*x1, *x2, page_->width) || outside(*y1, *y2, page_->height), "the line");
    }
}

void Checker::checkBox(const JobLine& line)
{
    checkFieldCount(line, 7);
    std::optional<float> x = number(line, 2, "x", Reading::WholeOnScreen);
    std::optional<float> y = number(line, 3, "y", Reading::WholeOnScreen);
    std::optional<float> w = number(line, 4, "width", Reading::WholeOnScreen);
    std::optional<float> h = number(line, 5, "height", Reading::WholeOnScreen);
    colourLetter(line, 6, boxColourSet_, "box");
    const BoxFields fields = line.box();
    if (!fields.fill.empty() && !isFillFlag(fields.fill)) {
        warn("fill flag '" + quotedField(fields.fill) +
             "' (field 7) is not F: the box is drawn as an outline; write F to fill it or leave the field empty");
    }
    if (!isFillFlag(fields.fill)) number(line, 8, "outline width", Reading::Whole);
    if (x && y && w && h && page_) outsidePage(outside(*x, *x + *w, page_->width) || outside(*y, *y + *h, page_->height), "the box");
}

void Checker::checkEndOfPage()
{
    if (!pageDrawn_) {
        note("page " + std::to_string(pageNumber_) + " is empty: nothing is drawn on it before this 'eop'");
    }
    ++pageNumber_;
    pageDrawn_ = false;
    lastEndOfPage_ = line_;
}

}  // namespace

std::vector<JobFinding> checkJob(const JobState& job) { return Checker(job).run(); }

std::vector<JobFinding> checkUtf8Text(std::string_view utf8)
{
    std::vector<JobFinding> findings;
    std::int64_t lineNumber = 1;
    for (std::size_t start = 0, end = 0; start <= utf8.size(); start = end + 1, ++lineNumber) {
        end = std::min(utf8.find('\r', start), utf8.size());
        std::string_view line = utf8.substr(start, end - start);
        // Only characters outside ASCII can be lost.
        if (std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
            continue;
        }
        const auto lost = std::count(line.begin(), line.end(), '?');
        if (lineNumber == 1 && line.starts_with(kByteOrderMark)) {
            findings.push_back({1, FindingKind::Warning,
                                "the job starts with a byte order mark: it becomes '?' at the front of the document "
                                "name, which the PDF cannot be saved under; write the job without it"});
            line.remove_prefix(kByteOrderMark.size());
        }
        const std::string converted = utf8ToWindows1252(line);
        if (const auto count = std::count(converted.begin(), converted.end(), '?') - lost; count > 0) {
            findings.push_back({lineNumber, FindingKind::Warning,
                                std::to_string(count) +
                                    (count == 1 ? " character is" : " characters are") +
                                    " not in Windows-1252 or not valid UTF-8 and shows as '?'; a job in "
                                    "Windows-1252 is read with --encoding cp1252"});
        }
    }
    return findings;
}

std::string quotedField(std::string_view field)
{
    std::string quoted;
    const std::string_view part = field.substr(0, kShownBytes);
    for (unsigned char c : part) {
        if (c >= 0xA0) {
            quoted += static_cast<char>(0xC0 | (c >> 6));
            quoted += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x20 || c >= 0x7F) {
            constexpr char kHex[] = "0123456789ABCDEF";
            quoted += "\\x";
            quoted += kHex[c >> 4];
            quoted += kHex[c & 0xF];
        } else {
            quoted += static_cast<char>(c);
        }
    }
    if (field.size() > kShownBytes) quoted += "...";
    return quoted;
}

}  // namespace tabulon::render
