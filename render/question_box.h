// A modal question with the buttons Yes and No.
#pragma once

#include <string>

namespace tabulon::render {

class QuestionBox {
public:
    virtual ~QuestionBox() = default;
    // True for Yes.
    virtual bool ask(const std::string& caption, const std::string& text) = 0;
};

}  // namespace tabulon::render
