#include "pdf_text_util.h"

#include <charconv>

namespace tabulon::pdf {

std::string toUpper(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

std::string toLower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

float parseFloat(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
    if (start < text.size() && text[start] == '+') ++start;
    float value = 0.0f;
    auto result = std::from_chars(text.data() + start, text.data() + text.size(), value,
                                  std::chars_format::fixed);
    return result.ec == std::errc() ? value : 0.0f;
}

float parseFloatField(std::string_view text, int index)
{
    for (int i = 0; i < index; ++i) {
        std::size_t comma = text.find(',');
        if (comma == std::string_view::npos) return 0.0f;
        text.remove_prefix(comma + 1);
    }
    return parseFloat(text.substr(0, text.find(',')));
}

}  // namespace tabulon::pdf
