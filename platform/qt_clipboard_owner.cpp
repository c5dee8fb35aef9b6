#include <unistd.h>

#include <optional>

#include <QClipboard>
#include <QGuiApplication>

#include "clipboard_owner.h"
#include "qt_display.h"

namespace tabulon::platform {

int serveClipboard(const std::string& utf8Text, const std::function<bool()>& nowHeld)
{
    int argc = 1;
    char name[] = "tabulon-clipboard";
    char* argv[] = {name, nullptr};
    std::optional<QGuiApplication> app;
    // An owner that cannot take the clipboard in time ends by SIGALRM's default
    // action, so that none is left behind by a producer that gave up on it.
    alarm(kDisplayAnswerSeconds);
    // Without a display the owner ends with 1, and the producer hears no word.
    createApplicationOrExit(name, "", [&] { app.emplace(argc, argv); });
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QString::fromStdString(utf8Text), QClipboard::Clipboard);
    if (!clipboard->ownsClipboard()) {
        return 1;
    }
    QObject::connect(clipboard, &QClipboard::changed, &*app, [clipboard](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard && !clipboard->ownsClipboard()) {
            QCoreApplication::quit();
        }
    });
    if (!nowHeld()) {
        return 1;
    }
    alarm(0);
    return app->exec();
}

}  // namespace tabulon::platform
