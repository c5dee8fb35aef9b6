// The metafile converter on arbitrary bytes: a converted form has a size and
// something drawn on it, and a failure releases the content.
#include "harnesses.h"
#include "image_checks.h"
#include "wmf_converter.h"

namespace tabulon::fuzz::wmf {

int fuzzOne(const std::uint8_t* data, std::size_t size)
{
    pdf::WmfForm form;
    const pdf::WmfResult result = pdf::convertWmf(pdf::Bytes(data, size), form);
    if (result.error == 0) {
        // A bounding box given right to left or bottom to top is kept as it is
        // (the placement mirrors it), so only an empty one is wrong.
        require(form.width != 0 && form.height != 0, "a metafile form without a size");
        require(form.shapesDrawn > 0 && !form.content.empty(), "a metafile form with nothing drawn");
    } else {
        require(!form.content.allocated(), "a failed metafile kept its content");
        require(!result.message.empty(), "a metafile failure without a reason");
    }
    checkLoader(data, size);
    return 0;
}

}  // namespace tabulon::fuzz::wmf
