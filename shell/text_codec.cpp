#include "text_codec.h"

namespace tabulon::shell {

std::string clipboardToAnsi(const std::u16string& text)
{
    return QString::fromStdU16String(text).toLatin1().toStdString();
}

QString ansiToQString(const std::string& text)
{
    return QString::fromLatin1(text);
}

}  // namespace tabulon::shell
