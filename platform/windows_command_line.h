// A Windows command line: one string that the started program splits into its
// arguments again, by the rules CommandLineToArgvW and the C runtime follow.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tabulon::platform {

// The command line that splits back into exactly `program` and `arguments`: the
// program's name in quotes (it holds no quote: no file name can), each argument
// as it is when it has no blank, tab or quote and is not empty, otherwise in
// quotes with its quotes and the backslashes before them escaped. Nothing when
// the program's name holds a quote or is empty.
std::optional<std::wstring> windowsCommandLine(const std::wstring& program, const std::vector<std::wstring>& arguments);

}  // namespace tabulon::platform
