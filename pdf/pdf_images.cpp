// Pictures: placing a picture file on the page (image), reading it once per
// document (loadImage), and writing the image and form objects at close
// (putImages).
#include <cmath>
#include <string>

#include "image_loader.h"
#include "system_files.h"
#include "pdf_writer.h"

namespace tabulon::pdf {

namespace {

// Reads and parses a picture file once per document. Returns 0 or the error
// code, with the record's buffers released on failure.
std::int32_t loadImage(ImageRecord& record)
{
    std::int32_t error = readImageFile(record.name, record);
    if (error == 0) {
        error = loadImageData(Bytes(record.data.data(), record.data.length()), record);
    }
    if (error != 0) {
        record.data.release();
        record.palette.release();
    }
    return error;
}

}  // namespace

const ImageRecord* PdfWriter::findImage(std::string_view file) const
{
    auto at = imageIndex_.find(std::string(file));
    if (at == imageIndex_.end() || at->second >= doc_.images.size()) return nullptr;
    return &doc_.images[at->second];
}

void PdfWriter::image(const std::string& file, float x, float y, float w, float h, std::int32_t link)
{
    (void)link;  // link areas are never written: no annotations in this writer
    const ImageRecord* found = findImage(file);
    if (found == nullptr) {
        // Another name of a file already read ("./x" for "x", a link) places that
        // picture again, and is kept as one of its names.
        if (const std::optional<FileIdentity> identity = regularFileIdentity(file)) {
            auto same = imageByFile_.find({identity->device, identity->index});
            if (same != imageByFile_.end()) {
                imageIndex_.emplace(file, same->second);
                found = &doc_.images[same->second];
            }
        }
    }
    if (found == nullptr) {
        ImageRecord record;
        record.name = file;
        record.number = static_cast<std::int32_t>(doc_.images.size()) + 1;
        const std::int32_t error = loadImage(record);
        if (error != 0) {
            // A document that can no longer be saved keeps the code that says why.
            if (!refused()) doc_.errorCode = error;
            return;
        }
        imageIndex_.emplace(file, doc_.images.size());
        if (record.identity) imageByFile_.emplace(std::pair{record.identity->device, record.identity->index}, doc_.images.size());
        doc_.images.push_back(std::move(record));
        found = &doc_.images.back();
    }
    const float k = doc_.k;
    const float width = static_cast<float>(found->width);
    const float height = static_cast<float>(found->height);
    ContentLine& line = line_.begin().put("q ");
    if (found->filter != "WMF") {
        if (w == 0 && h == 0) w = width / k, h = height / k;
        if (w == 0) w = h * width / height;
        if (h == 0) h = w * height / width;
        line.number(w * k, 2).put(" 0 0 ").number(h * k, 2).put(' ');
        line.number(x * k, 2).put(' ').number((doc_.h - (y + h)) * k, 2).put(" cm /I");
    } else {
        if (w == 0 && h == 0) w = std::fabs(width / (k * 20)), h = std::fabs(height / (k * 20));
        if (w == 0) w = std::fabs(h * width / height);
        if (h == 0) h = std::fabs(w * height / width);
        const float sx = w * k / width;
        const float sy = -h * k / height;
        line.number(sx, 6).put(" 0 0 ").number(sy, 6).put(' ');
        line.number(x * k - sx * static_cast<float>(found->originX), 6).put(' ');
        line.number((doc_.h - y) * k - sy * static_cast<float>(found->originY), 6).put(" cm /FO");
    }
    line.integer(found->number).put(" Do Q");
    out(line.view());
}

void PdfWriter::putImages()
{
    for (ImageRecord& record : doc_.images) {
        // Out of memory or beyond a PDF file's limits: the document can no longer
        // be saved, so nothing more is written. Any other error (a picture that failed to load) leaves the loaded
        // pictures to be written, since the page content refers to them.
        if (!refused()) {
            if (record.filter == "WMF") {
                putForm(record);
            } else {
                putImage(record);
            }
        }
        record.palette.release();
        record.data.release();
    }
}

void PdfWriter::putForm(ImageRecord& record)
{
    newObject();
    record.objectNumber = doc_.objectCount;
    out("<</Type /XObject");
    out("/Subtype /Form");
    out("/BBox [" + std::to_string(record.originX) + " " + std::to_string(record.originY) + " " +
        std::to_string(record.width + record.originX) + " " + std::to_string(record.height + record.originY) + "]");
    if (doc_.compressProc && doc_.compressProc(record.data)) out("/Filter /FlateDecode");
    out("/Length " + std::to_string(record.data.length()) + ">>");
    putStream(record.data.view());
    out("endobj");
}

void PdfWriter::putImage(ImageRecord& record)
{
    newObject();
    record.objectNumber = doc_.objectCount;
    const bool indexed = record.colorSpace == "Indexed";
    out("<</Type /XObject");
    out("/Subtype /Image");
    out("/Width " + std::to_string(record.width));
    out("/Height " + std::to_string(record.height));
    if (indexed) {
        out("/ColorSpace [/Indexed /DeviceRGB " + std::to_string(record.palette.length() / 3 - 1) + " " +
            std::to_string(doc_.objectCount + 1) + " 0 R]");
    } else {
        out("/ColorSpace /" + record.colorSpace);
    }
    // Adobe's CMYK JPEG files store their components inverted.
    if (record.colorSpace == "DeviceCMYK") out("/Decode [1 0 1 0 1 0 1 0]");
    out("/BitsPerComponent " + std::to_string(record.bitsPerComponent));
    out("/Filter /" + record.filter);
    if (!record.decodeParms.empty()) out(record.decodeParms);
    out("/Length " + std::to_string(record.data.length()) + ">>");
    putStream(record.data.view());
    if (doc_.errorCode == kOutOfMemory) return;
    out("endobj");
    if (indexed) {
        newObject();
        out("<</Length " + std::to_string(record.palette.length()) + ">>");
        putStream(record.palette.view());
        out("endobj");
    }
}

}  // namespace tabulon::pdf
