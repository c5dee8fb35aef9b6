// The bridge between Qt's Unicode text and the job's Windows-1252 text.
#pragma once

#include <string>

#include <QString>

namespace tabulon::platform {

std::string clipboardToAnsi(const std::u16string& text);
QString ansiToQString(const std::string& text);

}  // namespace tabulon::platform
