#include "gdiplus_session.h"

#include <gdiplus.h>

namespace tabulon::platform {

GdiplusSession::GdiplusSession()
{
    const Gdiplus::GdiplusStartupInput input;
    started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
}

GdiplusSession::~GdiplusSession()
{
    if (started_) {
        Gdiplus::GdiplusShutdown(token_);
    }
}

}  // namespace tabulon::platform
