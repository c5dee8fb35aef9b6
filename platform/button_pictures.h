// The three button pictures, 30 x 30 baseline JPEG files kept inside the program.
#pragma once

#include <cstdint>
#include <span>

#include "preview_window.h"

namespace tabulon::platform {

std::span<const std::uint8_t> buttonPictureData(shell::ButtonPicture picture);

}  // namespace tabulon::platform
