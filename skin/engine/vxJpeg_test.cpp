// JPEG patterns: whole pictures decode to 24-bit rows, damaged ones give nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "skin/engine/vxJpeg.h"

namespace {

// A JPEG of a flat picture: 3 components RGB, or 1 grey component.
std::string Encode(int width, int height, int components, const unsigned char* pixel, int quality = 95)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row;
    for (int x = 0; x < width; ++x)
        row.insert(row.end(), pixel, pixel + components);
    while (info.next_scanline < info.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    std::string bytes(reinterpret_cast<char*>(out), size);
    jpeg_destroy_compress(&info);
    std::free(out);
    return bytes;
}

bool Decode(const std::string& bytes, TvxJpegPicture& p)
{
    return DecodeJpeg(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), p);
}

} // namespace

TEST(Jpeg, FlatColourPictureDecodesToBlueGreenRedRows)
{
    const unsigned char rgb[] = {100, 150, 50};
    TvxJpegPicture p;
    ASSERT_TRUE(Decode(Encode(17, 5, 3, rgb), p));
    EXPECT_EQ(p.Width, 17);
    EXPECT_EQ(p.Height, 5);
    EXPECT_EQ(p.Stride, 52u); // 51 rounded up to 4
    ASSERT_EQ(p.Pixels.size(), 52u * 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 17; ++x) {
            const uint8_t* px = &p.Pixels[static_cast<size_t>(y) * p.Stride + static_cast<size_t>(x) * 3];
            EXPECT_NEAR(px[0], 50, 2);
            EXPECT_NEAR(px[1], 150, 2);
            EXPECT_NEAR(px[2], 100, 2);
        }
}

TEST(Jpeg, GreyPicturesGiveEqualChannels)
{
    const unsigned char grey[] = {77};
    TvxJpegPicture p;
    ASSERT_TRUE(Decode(Encode(8, 8, 1, grey), p));
    const uint8_t* px = &p.Pixels[3 * 8 + 9];
    EXPECT_EQ(px[0], px[1]);
    EXPECT_EQ(px[1], px[2]);
    EXPECT_NEAR(px[0], 77, 1);
}

TEST(Jpeg, DamagedPicturesGiveNothing)
{
    const unsigned char rgb[] = {1, 2, 3};
    const std::string good = Encode(64, 64, 3, rgb);
    TvxJpegPicture p;
    EXPECT_FALSE(Decode(good.substr(0, good.size() / 2), p)); // cut short: only a warning from libjpeg
    EXPECT_EQ(p.Width, 0);
    EXPECT_TRUE(p.Pixels.empty());
    EXPECT_FALSE(Decode("no picture at all", p));
    EXPECT_FALSE(Decode(good.substr(0, 2), p));
    EXPECT_FALSE(DecodeJpeg(nullptr, 0, p));
    std::string bad = good; // an end marker inside the picture data
    bad[bad.size() - 5] = static_cast<char>(0xFF);
    bad[bad.size() - 4] = static_cast<char>(0xD9);
    EXPECT_FALSE(Decode(bad, p));
}
