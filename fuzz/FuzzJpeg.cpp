// JPEG data: the built-in pictures are decoded with libjpeg.
#include "FuzzSupport.h"
#include "gfx/JpegPicture.h"
#include "gfx/brenmarUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const QImage picture = DecodeJpeg(Fuzz::Bytes(data, size));
        Fuzz::Require(picture.isNull() || picture.format() == QImage::Format_RGB32);
    } catch (const EInvalidGraphic&) {
    }
    return 0;
}
