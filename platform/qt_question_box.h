// The Yes/No question over QMessageBox, modal over the preview window.
#pragma once

#include "question_box.h"

class QWidget;

namespace tabulon::platform {

class QtQuestionBox : public render::QuestionBox {
public:
    explicit QtQuestionBox(QWidget* parent) : parent_(parent) {}
    bool ask(const std::string& caption, const std::string& text) override;

private:
    QWidget* parent_;
};

// A message with an OK button, for failures the user has to know about.
void showMessage(QWidget* parent, const std::string& caption, const std::string& text);

}  // namespace tabulon::platform
