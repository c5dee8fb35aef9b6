// Which output a renderer pass draws on.
#pragma once

namespace tabulon::render {

enum class RenderTarget { Preview = 0, Printer = 1, Pdf = 2 };

}  // namespace tabulon::render
