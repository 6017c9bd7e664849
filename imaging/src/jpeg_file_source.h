// A libjpeg source that reads an open file in large pieces.  libjpeg's own
// stdio source reads 4 KB at a time, and its fast Huffman decoder only runs
// while several kilobytes stand in the buffer, so with small pieces a large
// share of a photo goes through the slow decoder.
#pragma once

#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace mireo::imaging {

class JpegFileSource {
public:
    explicit JpegFileSource(std::FILE* file);
    JpegFileSource(const JpegFileSource&) = delete;
    JpegFileSource& operator=(const JpegFileSource&) = delete;

    // Makes `info` read from this source, which must outlive the reading.
    void attach(j_decompress_ptr info);

private:
    static void init(j_decompress_ptr) {}
    static boolean fill(j_decompress_ptr info);
    static void skip(j_decompress_ptr info, long count);
    static void term(j_decompress_ptr) {}
    static JpegFileSource& of(j_decompress_ptr info);

    jpeg_source_mgr manager_{};  // first, so that libjpeg's pointer is this object's
    std::FILE* file_;
    std::vector<JOCTET> buffer_;
    bool started_ = false;
};

}  // namespace mireo::imaging
