// The Yes/No question and the OK message over MessageBoxA, modal over the
// preview window. Caption and text are Windows-1252 (ANSI) text, as the job's.
#pragma once

#include <windows.h>

#include "question_box.h"

namespace tabulon::platform {

class Win32QuestionBox : public render::QuestionBox {
public:
    explicit Win32QuestionBox(HWND owner) : owner_(owner) {}
    // Yes only for the Yes button; every other way out of the box (No, and
    // Escape or closing it where the system allows that) is No.
    bool ask(const std::string& caption, const std::string& text) override;

private:
    HWND owner_;
};

// A message with an OK button, for failures the user has to know about.
void showMessage(HWND owner, const std::string& caption, const std::string& text);

}  // namespace tabulon::platform
