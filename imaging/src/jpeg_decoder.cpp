#include "imaging/jpeg_decoder.h"

#include <QTransform>
#include <csetjmp>
#include <cstdio>
#include <optional>

// libjpeg's header needs the size types declared first.
#include <jpeglib.h>
#include <jerror.h>

#include "imaging/exif_orientation.h"
#include "jpeg_file_source.h"

namespace mireo::imaging {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

// A fatal error returns to the guarded step instead of ending the process.
[[noreturn]] void jumpBack(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    errors->pub.format_message(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// libjpeg only warns about damaged data (a file cut short, a broken
// segment) and goes on with made-up pixels; such a picture is refused
// instead.  Two warnings say nothing about the pixels and are let pass.
void refuseDamage(j_common_ptr info, int level) {
    if (level >= 0) return;  // trace messages
    const int code = info->err->msg_code;
    if (code == JWRN_JFIF_MAJOR || code == JWRN_ADOBE_XFORM) return;
    jumpBack(info);
}

bool rgbConvertible(J_COLOR_SPACE space) { return space == JCS_YCbCr || space == JCS_RGB || space == JCS_GRAYSCALE; }

int orientationIn(const jpeg_decompress_struct& info) {
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next)
        if (marker->marker == JPEG_APP0 + 1) {
            int orientation = exifOrientation({marker->data, marker->data_length});
            if (orientation != kUprightOrientation) return orientation;
        }
    return kUprightOrientation;
}

// A picture that needs more memory than the decoder may take (a huge
// progressive JPEG keeps all its coefficients) is too large, not damaged.
QString reasonOf(const jpeg_decompress_struct& info, const ErrorManager& errors) {
    const int code = info.err->msg_code;
    if (code == JERR_OUT_OF_MEMORY || code == JERR_NO_BACKING_STORE)
        return QStringLiteral("The picture is too large to decode.");
    return QString::fromLatin1(errors.message);
}

}  // namespace

struct JpegDecoder::State {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    std::optional<JpegFileSource> fileSource;
    bool decoded = false;

    // Runs one libjpeg step; false when libjpeg raised an error in it.  The
    // steps hold no objects that need destroying, so the jump is safe.
    template <class Step>
    bool guarded(Step step) {
        if (setjmp(errors.jump) != 0) return false;
        step();
        return true;
    }
};

bool looksLikeJpeg(std::span<const uint8_t> head) {
    return head.size() >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF;
}

JpegDecoder::JpegDecoder(std::span<const uint8_t> file, int limitMb) : state_(new State), limitMb_(limitMb) {
    readHeader([&](j_decompress_ptr info) {
        jpeg_mem_src(info, file.data(), static_cast<unsigned long>(file.size()));
    });
}

JpegDecoder::JpegDecoder(std::FILE* file, int limitMb) : state_(new State), limitMb_(limitMb) {
    state_->fileSource.emplace(file);
    readHeader([&](j_decompress_ptr info) { state_->fileSource->attach(info); });
}

template <class AttachSource>
void JpegDecoder::readHeader(AttachSource attach) {
    State& s = *state_;
    s.info.err = jpeg_std_error(&s.errors.pub);
    s.errors.pub.error_exit = jumpBack;
    s.errors.pub.emit_message = refuseDamage;
    if (!s.guarded([&] { jpeg_create_decompress(&s.info); })) {
        state_.reset();
        return;
    }
    s.info.mem->max_memory_to_use = static_cast<long>(limitMb_) * 1024 * 1024;
    const bool read = s.guarded([&] {
        attach(&s.info);
        jpeg_save_markers(&s.info, JPEG_APP0 + 1, 0xFFFF);
        jpeg_read_header(&s.info, TRUE);
    });
    if (!read) {
        error_ = reasonOf(s.info, s.errors);
        return;
    }
    stored_ = QSize(static_cast<int>(s.info.image_width), static_cast<int>(s.info.image_height));
    orientation_ = orientationIn(s.info);
    usable_ = rgbConvertible(s.info.jpeg_color_space) && !stored_.isEmpty();
}

JpegDecoder::~JpegDecoder() {
    if (state_) jpeg_destroy_decompress(&state_->info);
}

QImage JpegDecoder::decode(int denominator) {
    if (!usable_ || state_->decoded) return {};
    State& s = *state_;
    s.decoded = true;
    s.info.scale_num = 1;
    s.info.scale_denom = static_cast<unsigned>(denominator);
    s.info.out_color_space = JCS_EXT_BGRX;  // the byte order of QImage::Format_RGB32 in memory
    // A picture decoded at a reduced scale is only a step towards a smaller
    // one: replicating the colour samples instead of interpolating them
    // cannot be seen after the fitting shrinks it again, and it is faster.
    if (denominator > 1) s.info.do_fancy_upsampling = FALSE;
    if (!s.guarded([&] { jpeg_calc_output_dimensions(&s.info); })) {
        error_ = reasonOf(s.info, s.errors);
        return {};
    }
    const qint64 bytes = qint64{s.info.output_width} * s.info.output_height * 4;
    if (bytes > qint64{limitMb_} * 1024 * 1024) {
        error_ = QStringLiteral("The picture is too large to decode.");
        return {};
    }
    QImage picture(static_cast<int>(s.info.output_width), static_cast<int>(s.info.output_height),
                   QImage::Format_RGB32);
    if (picture.isNull()) {
        error_ = QStringLiteral("Not enough memory for the picture.");
        return {};
    }
    const bool decoded = s.guarded([&] {
        jpeg_start_decompress(&s.info);
        while (s.info.output_scanline < s.info.output_height) {
            JSAMPROW row = picture.scanLine(static_cast<int>(s.info.output_scanline));
            jpeg_read_scanlines(&s.info, &row, 1);
        }
        jpeg_finish_decompress(&s.info);
    });
    if (!decoded) {
        error_ = reasonOf(s.info, s.errors);
        return {};
    }
    return picture;
}

QImage applyOrientation(const QImage& stored, int orientation) {
    const QTransform quarter = QTransform().rotate(90), threeQuarters = QTransform().rotate(270);
    switch (orientation) {
        case 2: return stored.mirrored(true, false);
        case 3: return stored.mirrored(true, true);
        case 4: return stored.mirrored(false, true);
        case 5: return stored.mirrored(false, true).transformed(quarter);
        case 6: return stored.transformed(quarter);
        case 7: return stored.mirrored(true, false).transformed(quarter);
        case 8: return stored.transformed(threeQuarters);
        default: return stored;
    }
}

}  // namespace mireo::imaging
