// Where a program's own file is, and where its installed data lies. Programs
// sit in bin/ (the exporter's companion in libexec/tabulon/) of a tree whose
// share/tabulon/ holds their data, in a build tree as in an installed one; on
// Windows they may also sit in one folder with their data (the zip's layout).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tabulon::platform {

// The running program's own file, as an absolute path; empty when unknown.
std::string ownProgramPath();

// The folder of the running program's file, without a trailing slash; "."
// when unknown.
std::string ownFolder();

// Where the data file `name` may be, most likely first: share/tabulon/ of the
// tree the program runs from (wherever it was moved), then the data folder the
// build was configured to install into. On Windows: the program's own folder,
// then share/tabulon/ of the tree it runs from.
std::vector<std::string> dataFilePlaces(std::string_view name);

}  // namespace tabulon::platform
