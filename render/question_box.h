// A modal question with the buttons Yes and No.
#pragma once

#include <string>

namespace tabulon::render {

// The question the preview asks at every end of page.
inline constexpr const char* kNextPageCaption = "Multiple Pages!";
inline constexpr const char* kNextPageText = "Select OK if you want to see the next.";

class QuestionBox {
public:
    virtual ~QuestionBox() = default;
    // True for Yes.
    virtual bool ask(const std::string& caption, const std::string& text) = 0;
};

}  // namespace tabulon::render
