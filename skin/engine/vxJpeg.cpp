#include "skin/engine/vxJpeg.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

struct TErrorManager {
    jpeg_error_mgr Base; // first, so libjpeg's pointer is this object's
    std::jmp_buf Jump;
};

[[noreturn]] void ErrorExit(j_common_ptr info) { std::longjmp(reinterpret_cast<TErrorManager*>(info->err)->Jump, 1); }

void OutputMessage(j_common_ptr) {} // nothing is printed

// Decodes inside one frame that holds no object with a destructor, as the jump back from an
// error passes over the frames between.
bool Decode(jpeg_decompress_struct& info, const uint8_t* data, size_t size, TvxJpegPicture& picture)
{
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) return false;
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > TvxJpegPicture::MaxSide ||
        info.image_height > TvxJpegPicture::MaxSide ||
        static_cast<long long>(info.image_width) * info.image_height > TvxJpegPicture::MaxPixels)
        return false;
    info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    picture.Width = static_cast<int>(info.output_width);
    picture.Height = static_cast<int>(info.output_height);
    picture.Stride = (static_cast<size_t>(picture.Width) * 3 + 3) / 4 * 4;
    picture.Pixels.resize(picture.Stride * static_cast<size_t>(picture.Height));
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = picture.Pixels.data() + picture.Stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return info.err->num_warnings == 0;
}

} // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, TvxJpegPicture& picture)
{
    picture = TvxJpegPicture{};
    if (!data || size == 0) return false;
    jpeg_decompress_struct info{};
    TErrorManager errors{};
    info.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = ErrorExit;
    errors.Base.output_message = OutputMessage;
    jpeg_create_decompress(&info);
    volatile bool ok = false;
    if (setjmp(errors.Jump) == 0) ok = Decode(info, data, size, picture);
    jpeg_destroy_decompress(&info);
    if (!ok) picture = TvxJpegPicture{};
    return ok;
}
