#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

#include "main_loop.h"
#include "preview_geometry.h"
#include "qt_event_queue.h"

using namespace tabulon;
using render::RenderTarget;

namespace {

void pressKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &event);
}

struct Window {
    QWidget window;
    QPushButton* pdf = new QPushButton(&window);
    QPushButton* exit = new QPushButton(&window);
    platform::QtEventQueue queue;
    Window()
    {
        queue.watchWindow(&window, shell::kPreviewWindow);
        queue.watchButton(pdf, shell::kPreviewWindow, shell::kPdfButton);
        queue.watchButton(exit, shell::kPreviewWindow, shell::kExitButton);
    }
};

}  // namespace

TEST(QtEventQueue, APostedClickIsHandledAfterTheEventsBeforeIt)
{
    Window w;
    pressKey(&w.window, Qt::Key_F4, Qt::AltModifier);  // posts the print click at the end
    w.pdf->click();                                     // already waiting when F4 is handled
    pressKey(w.pdf, Qt::Key_Escape);                    // a key delivered to a child is the window's
    std::vector<RenderTarget> passes;
    shell::runEventLoop(w.queue, [&](RenderTarget t) { passes.push_back(t); });
    EXPECT_EQ(passes, (std::vector<RenderTarget>{RenderTarget::Pdf, RenderTarget::Printer}));
    EXPECT_FALSE(w.queue.hasPending());
}

TEST(QtEventQueue, CloseRequestWaitsForTheLoopAndThenClosesTheWindow)
{
    Window w;
    w.window.show();
    QCloseEvent close;
    QApplication::sendEvent(&w.window, &close);
    EXPECT_TRUE(w.window.isVisible());  // the loop decides, not Qt
    std::vector<RenderTarget> passes;
    shell::runEventLoop(w.queue, [&](RenderTarget t) { passes.push_back(t); });
    EXPECT_TRUE(passes.empty());
    EXPECT_FALSE(w.window.isVisible());
}

TEST(QtEventQueue, ButtonClicksBecomeGadgetEventsWithSubtypeZero)
{
    Window w;
    w.exit->click();
    const auto event = w.queue.waitEvent();
    EXPECT_EQ(event.kind, shell::EventKind::Gadget);
    EXPECT_EQ(event.window, shell::kPreviewWindow);
    EXPECT_EQ(event.gadget, shell::kExitButton);
    EXPECT_EQ(event.subtype, 0);
}
