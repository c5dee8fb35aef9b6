// The pictures one pass has prepared for its surface: decoded once and, on the
// preview, resized once, then drawn again for every line that names the same
// file at the same size. A picture that could not be loaded is remembered too,
// so the file is not read again. Only the pictures used most recently are kept,
// up to a number of pixels and of entries, so a job naming many large pictures
// holds no more at a time than that.
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "vector_surface.h"

namespace tabulon::render {

// At most this many pixels are kept (four bytes each on the desktop surfaces):
// as many as the largest picture the decoders take.
inline constexpr std::int64_t kKeptPicturePixels = 64ll * 1024 * 1024;
// At most this many pictures, loaded or not, are kept.
inline constexpr std::size_t kKeptPictures = 1024;

class SurfacePictures {
public:
    // Makes the picture of `file` as it is drawn at widthPx x heightPx (0 x 0:
    // as loaded, not resized) from the surface's loadImage and resizeImage.
    using Prepare = std::function<std::unique_ptr<SurfaceImage>()>;

    // The picture of `file` at that size, prepared now or earlier in this pass;
    // null when it could not be loaded. It stays valid until the next call.
    const SurfaceImage* find(std::string_view file, std::int32_t widthPx, std::int32_t heightPx,
                             const Prepare& prepare);

private:
    struct Entry {
        std::string key;
        std::unique_ptr<SurfaceImage> image;
        std::int64_t pixels = 0;
    };
    void keepWithinLimits();

    std::list<Entry> recent_;  // most recently used first
    std::unordered_map<std::string, std::list<Entry>::iterator> byKey_;
    std::int64_t pixels_ = 0;
};

}  // namespace tabulon::render
