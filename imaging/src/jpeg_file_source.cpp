#include "jpeg_file_source.h"

#include <jerror.h>

namespace mireo::imaging {

namespace {

constexpr std::size_t kPieceBytes = 256 * 1024;

// What libjpeg reads after a file that ends too soon: an end-of-image marker.
const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

}  // namespace

JpegFileSource::JpegFileSource(std::FILE* file) : file_(file), buffer_(kPieceBytes) {
    manager_.init_source = init;
    manager_.fill_input_buffer = fill;
    manager_.skip_input_data = skip;
    manager_.resync_to_restart = jpeg_resync_to_restart;
    manager_.term_source = term;
}

void JpegFileSource::attach(j_decompress_ptr info) { info->src = &manager_; }

JpegFileSource& JpegFileSource::of(j_decompress_ptr info) { return *reinterpret_cast<JpegFileSource*>(info->src); }

// An empty file is an error; a file that ends early gets a warning (which
// the decoder's handler turns into a refusal) and an end marker.
boolean JpegFileSource::fill(j_decompress_ptr info) {
    JpegFileSource& source = of(info);
    std::size_t got = std::fread(source.buffer_.data(), 1, source.buffer_.size(), source.file_);
    if (got == 0) {
        if (!source.started_) ERREXIT(info, JERR_INPUT_EMPTY);
        WARNMS(info, JWRN_JPEG_EOF);
        source.manager_.next_input_byte = kEndOfImage;
        source.manager_.bytes_in_buffer = sizeof kEndOfImage;
        return TRUE;
    }
    source.started_ = true;
    source.manager_.next_input_byte = source.buffer_.data();
    source.manager_.bytes_in_buffer = got;
    return TRUE;
}

void JpegFileSource::skip(j_decompress_ptr info, long count) {
    if (count <= 0) return;
    jpeg_source_mgr& manager = of(info).manager_;
    auto left = static_cast<std::size_t>(count);
    while (left > manager.bytes_in_buffer) {
        left -= manager.bytes_in_buffer;
        fill(info);
    }
    manager.next_input_byte += left;
    manager.bytes_in_buffer -= left;
}

}  // namespace mireo::imaging
