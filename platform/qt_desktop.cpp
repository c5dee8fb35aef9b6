#include "qt_desktop.h"

#include <cstring>

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "button_pictures.h"
#include "decoded_image.h"
#include "process_start.h"
#include "qt_canvas_surface.h"
#include "qt_print_job.h"
#include "qt_question_box.h"
#include "qt_text_codec.h"

namespace tabulon::platform {

namespace {

constexpr const char* kPdfViewer = "xdg-open";

// A button that shows its picture and nothing else.
class PictureButton : public QAbstractButton {
public:
    PictureButton(QWidget* parent, QImage picture) : QAbstractButton(parent), picture_(std::move(picture))
    {
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(rect(), picture_);
    }

private:
    QImage picture_;
};

QImage decodeButtonPicture(shell::ButtonPicture picture)
{
    auto decoded = decodeJpeg(buttonPictureData(picture));
    if (!decoded) {
        return {};
    }
    return QImage(decoded->rgba.data(), decoded->width, decoded->height, decoded->width * 4,
                  QImage::Format_RGBA8888)
        .copy();
}

}  // namespace

QtDesktop::QtDesktop(TextEncoder encodeText)
    : encodeText_(encodeText), events_(std::make_unique<QtEventQueue>())
{
}

QtDesktop::~QtDesktop()
{
    release();
}

std::pair<int, int> QtDesktop::desktopSize()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return {0, 0};
    }
    const QRect geometry = screen->geometry();
    return {geometry.width(), geometry.height()};
}

double QtDesktop::screenDotsPerInch() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

bool QtDesktop::openWindow(int window, const shell::PixelRect& rect, std::string_view title)
{
    if (window_ || rect.width <= 0 || rect.height <= 0) {
        return false;
    }
    window_ = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window_->setWindowTitle(QString::fromLatin1(title.data(), static_cast<qsizetype>(title.size())));
    window_->setFixedSize(rect.width, rect.height);
    window_->move(rect.x, rect.y);
    window_->setFocusPolicy(Qt::StrongFocus);
    events_->watchWindow(window_.get(), window);
    window_->show();
    window_->activateWindow();
    window_->setFocus();
    return true;
}

void QtDesktop::createCanvas(int gadget, const shell::PixelRect& rect)
{
    canvas_ = new QtPageCanvas(window_.get(), rect.width, rect.height, screenDotsPerInch());
    canvas_->move(rect.x, rect.y);
    canvas_->show();
    gadgets_[gadget] = canvas_;
}

void QtDesktop::createPictureButton(int gadget, const shell::PixelRect& rect, shell::ButtonPicture picture)
{
    auto* button = new PictureButton(window_.get(), decodeButtonPicture(picture));
    button->setGeometry(rect.x, rect.y, rect.width, rect.height);
    button->show();
    events_->watchButton(button, shell::kPreviewWindow, gadget);
    gadgets_[gadget] = button;
}

void QtDesktop::setTooltip(int gadget, std::string_view text)
{
    if (auto it = gadgets_.find(gadget); it != gadgets_.end()) {
        it->second->setToolTip(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    }
}

void QtDesktop::setBackground(int, shell::Rgb colour)
{
    QPalette palette = window_->palette();
    palette.setColor(QPalette::Window, QColor(colour.r, colour.g, colour.b));
    window_->setPalette(palette);
    window_->setAutoFillBackground(true);
}

std::string QtDesktop::readClipboardText()
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        return {};
    }
    return encodeText_(clipboard->text().toStdU16String());
}

std::unique_ptr<shell::PassOutputs> QtDesktop::openPreviewOutputs()
{
    // The canvas's image is shown at every close of the surface.
    auto outputs = std::make_unique<shell::PreviewPassOutputs<QtCanvasSurface, QtQuestionBox>>(window_.get());
    if (QtPageCanvas* canvas = canvas_) {
        outputs->surface().emplace(canvas->image(), ansiToQString, [canvas] { canvas->showDrawing(); });
    }
    return outputs;
}

std::unique_ptr<shell::PassOutputs> QtDesktop::openPrinterOutputs()
{
    return std::make_unique<shell::PrinterPassOutputs<QtPrintJob, QtPrinterSurface>>(window_.get(), ansiToQString);
}

void QtDesktop::showMessage(const std::string& caption, const std::string& text)
{
    platform::showMessage(window_.get(), caption, text);
}

std::optional<shell::ViewerFailure> QtDesktop::startPdfViewer(const std::string& fileName)
{
    if (const int error = startDetached(kPdfViewer, {fileName}); error != 0) {
        return shell::ViewerFailure{kPdfViewer, std::strerror(error)};
    }
    return std::nullopt;
}

void QtDesktop::release()
{
    gadgets_.clear();
    canvas_ = nullptr;
    window_.reset();  // the gadgets go with their window
}

}  // namespace tabulon::platform
