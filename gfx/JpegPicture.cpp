// JPEG decoding with libjpeg's own API, straight into Format_RGB32 lines.

#include "gfx/JpegPicture.h"

#include "gfx/brenmarUtils.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace {

// libjpeg's default error handler ends the program; this one jumps back to
// the decoder, which turns the message into an EInvalidGraphic.
struct JpegErrorManager {
    jpeg_error_mgr Public;
    std::jmp_buf Return;
    char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr info) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->Message);
    std::longjmp(manager->Return, 1);
}

void IgnoreMessage(j_common_ptr, int) {}

// Kept out of DecodeJpeg so that no object with a destructor lives in the
// frame that setjmp returns to.
bool Decode(jpeg_decompress_struct& info, JpegErrorManager& errors, const QByteArray& data,
            QImage& image) {
    if (setjmp(errors.Return)) return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGB32);
    if (image.isNull()) {
        std::snprintf(errors.Message, sizeof errors.Message, "picture too large");
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

} // namespace

QImage DecodeJpeg(const QByteArray& data) {
    jpeg_decompress_struct info{};
    JpegErrorManager errors{};
    info.err = jpeg_std_error(&errors.Public);
    errors.Public.error_exit = ErrorExit;
    errors.Public.emit_message = IgnoreMessage;
    QImage image;
    const bool ok = Decode(info, errors, data, image);
    jpeg_destroy_decompress(&info);
    if (!ok)
        throw EInvalidGraphic(QStringLiteral("Damaged JPEG picture: ") +
                              QString::fromLocal8Bit(errors.Message));
    // The padding byte of JCS_EXT_BGRX is the alpha of RGB32; make sure it is opaque.
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] |= 0xFF000000u;
    }
    return image;
}
