#include "qt_question_box.h"

#include <QMessageBox>

namespace tabulon::platform {

bool QtQuestionBox::ask(const std::string& caption, const std::string& text)
{
    const auto answer = QMessageBox::question(parent_, QString::fromLatin1(caption), QString::fromLatin1(text),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    return answer == QMessageBox::Yes;
}

void showMessage(QWidget* parent, const std::string& caption, const std::string& text)
{
    QMessageBox::warning(parent, QString::fromLatin1(caption), QString::fromLatin1(text));
}

}  // namespace tabulon::platform
