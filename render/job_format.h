// The print-job text format: how a job line splits into its command header,
// fields and free text, the two ways a field is read as a number, and the
// meaning of the font, style, colour and fill letters.
//
// Fields are compared exactly and case-sensitively and are never trimmed; a
// malformed field reads as 0, the empty name or an unrecognised letter.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tabulon::render {

// The marker between a line's command header and its free text.
inline constexpr std::string_view kFreeTextMarker = "/*";

// The commands a line can give, by its command word ("txt", "img", "line",
// "box", "eop"); any other word, in any other case, is no command.
enum class JobCommand { None, Text, Picture, Line, Box, EndOfPage };

// The fields of each command by name, as the job gives them: unread text, ""
// where the line has fewer fields. Numbers are read by the reader of the target
// that draws them (readInteger or readDecimal).
struct TextFields {  // txt,FONT,STYLE,SIZE,X,Y,COLOUR/*TEXT
    std::string_view fontLetter, style, size, x, y, colourLetter;
};
struct PictureFields {  // img,X,Y,WIDTH,HEIGHT,FILE/*
    std::string_view x, y, width, height, file;
};
struct LineFields {  // line,X1,Y1,X2,Y2,COLOUR,WIDTH/*
    std::string_view x1, y1, x2, y2, colourLetter, width;
};
struct BoxFields {  // box,X,Y,WIDTH,HEIGHT,COLOUR,FILL,OUTLINE/*
    std::string_view x, y, width, height, colourLetter, fill, outlineWidth;
};

// One job line taken apart. The views point into the line it was split from.
struct JobLine {
    JobCommand command = JobCommand::None;
    std::string_view commandHeader;        // everything before the first "/*"
    std::vector<std::string_view> fields;  // the command header split at every ","
    std::string_view freeText;             // everything after the first "/*"

    // Field n, counted from 1 (field 1 is the command word); "" when absent.
    std::string_view field(std::size_t n) const
    {
        return n >= 1 && n <= fields.size() ? fields[n - 1] : std::string_view();
    }
    std::string_view commandWord() const { return field(1); }

    // The fields by name; meaningful for a line of that command.
    TextFields text() const;
    PictureFields picture() const;
    LineFields line() const;
    BoxFields box() const;
};

// The command a command word gives.
JobCommand commandForWord(std::string_view word);

JobLine splitJobLine(std::string_view line);
// The same split into an existing JobLine, reusing its field table so that a walk
// over many lines allocates only when a line has more fields than any before it.
void splitJobLine(std::string_view line, JobLine& parsed);

// Integer reading: blanks and tabs skipped, an optional sign, then "$" and hex
// digits, "%" and binary digits, or decimal digits; the first other character
// stops. No digits read 0. Decimal values beyond 32 bits are clamped; hex and
// binary keep their low 32 bits, as a bit pattern.
std::int32_t readInteger(std::string_view field);

// Decimal reading: blanks and tabs skipped, an optional sign, digits with "." as
// the decimal point and an optional exponent. No number reads 0; a value beyond
// the float range is clamped to the largest float of its sign.
float readDecimal(std::string_view field);

// Where each reading stops: the reading takes the field up to this position and
// ignores the rest. 0 when the field holds no number, so that it reads as 0.
std::size_t integerEnd(std::string_view field);
std::size_t decimalEnd(std::string_view field);

// A colour as the job gives it: the packed RGBA value drawn on the preview and
// the printer (red in the lowest byte, alpha in the highest) and the RGB triple
// written in the PDF. All zero before the first recognised letter: transparent
// on screen and paper, black in the PDF.
struct ColourSlot {
    std::uint32_t rgba = 0;
    int r = 0;
    int g = 0;
    int b = 0;
    bool operator==(const ColourSlot&) const = default;
};

// The colour for a colour letter ("K", "R", "B", "Y"), or nothing for any other
// field, which leaves a slot unchanged. "Y" is green on screen and paper but
// yellow in the PDF: producers rely on both.
std::optional<ColourSlot> colourForLetter(std::string_view letter);

// Applies a colour letter to a slot; an unrecognised letter leaves it as it is.
void applyColourLetter(ColourSlot& slot, std::string_view letter);

// The family for a font letter ("A" Arial, "C" Courier New), or nothing.
std::optional<std::string_view> familyForLetter(std::string_view letter);

// Bold on the preview and the printer: exactly "B".
inline bool isBoldStyle(std::string_view style) { return style == "B"; }

// A filled box: exactly "F".
inline bool isFillFlag(std::string_view flag) { return flag == "F"; }

}  // namespace tabulon::render
