#include "surface_pictures.h"

namespace tabulon::render {

const SurfaceImage* SurfacePictures::find(std::string_view file, std::int32_t widthPx, std::int32_t heightPx,
                                          const Prepare& prepare)
{
    // The size, then the name: the first ':' ends the size, whatever the name holds.
    std::string key = std::to_string(widthPx) + "x" + std::to_string(heightPx) + ":";
    key += file;
    if (auto found = byKey_.find(key); found != byKey_.end()) {
        recent_.splice(recent_.begin(), recent_, found->second);
        return recent_.front().image.get();
    }
    Entry entry{key, prepare(), 0};
    if (entry.image) entry.pixels = entry.image->pixelCount();
    pixels_ += entry.pixels;
    recent_.push_front(std::move(entry));
    byKey_.emplace(std::move(key), recent_.begin());
    keepWithinLimits();
    return recent_.front().image.get();
}

void SurfacePictures::keepWithinLimits()
{
    // The newest picture stays even alone over the limit: it is about to be drawn.
    while (recent_.size() > 1 && (pixels_ > kKeptPicturePixels || recent_.size() > kKeptPictures)) {
        pixels_ -= recent_.back().pixels;
        byKey_.erase(recent_.back().key);
        recent_.pop_back();
    }
}

}  // namespace tabulon::render
