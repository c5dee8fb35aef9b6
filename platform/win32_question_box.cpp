#include "win32_question_box.h"

namespace tabulon::platform {

bool Win32QuestionBox::ask(const std::string& caption, const std::string& text)
{
    return MessageBoxA(owner_, text.c_str(), caption.c_str(), MB_YESNO) == IDYES;
}

void showMessage(HWND owner, const std::string& caption, const std::string& text)
{
    MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
}

}  // namespace tabulon::platform
