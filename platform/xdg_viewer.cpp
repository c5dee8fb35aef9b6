// Linux desktops: xdg-open picks the viewer the user chose for PDF files.
#include "process_start.h"
#include "viewer.h"

namespace tabulon::platform {

void openInViewer(const std::string& fileName)
{
    (void)startDetached("xdg-open", {fileName});
}

}  // namespace tabulon::platform
