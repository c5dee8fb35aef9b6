// Small text helpers shared by the writer's files: ASCII case mapping, trimming
// and reading numbers from comma-separated fields.
#pragma once

#include <string>
#include <string_view>

namespace tabulon::pdf {

std::string toUpper(std::string_view text);
std::string toLower(std::string_view text);
// Removes leading and trailing blanks (spaces only).
std::string_view trimBlanks(std::string_view text);
// The float value of comma-separated field `index` (from 0) of `text`: leading
// blanks and tabs skipped, then a decimal number with "."; not a number gives 0.
float parseFloatField(std::string_view text, int index);
float parseFloat(std::string_view text);

}  // namespace tabulon::pdf
