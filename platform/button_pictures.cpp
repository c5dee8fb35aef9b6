#include "button_pictures.h"

namespace tabulon::platform::embedded {
extern const std::uint8_t exitPicture[];
extern const unsigned exitPictureSize;
extern const std::uint8_t pdfPicture[];
extern const unsigned pdfPictureSize;
extern const std::uint8_t printPicture[];
extern const unsigned printPictureSize;
}  // namespace tabulon::platform::embedded

namespace tabulon::platform {

std::span<const std::uint8_t> buttonPictureData(shell::ButtonPicture picture)
{
    using namespace embedded;
    switch (picture) {
    case shell::ButtonPicture::Exit:
        return {exitPicture, exitPictureSize};
    case shell::ButtonPicture::Pdf:
        return {pdfPicture, pdfPictureSize};
    case shell::ButtonPicture::Print:
        return {printPicture, printPictureSize};
    }
    return {};
}

}  // namespace tabulon::platform
