// Picture files of 16 bits per channel (as many programs write PNG and TIFF files) load at every
// depth, keeping the high byte of each channel.

#include <gtest/gtest.h>

#include <FreeImage.h>

#include <string>
#include <vector>

#include "fills/picture_file.h"
#include "support/test_support.h"

namespace arbolix {
namespace {

// A 4 × 3 PNG of one 16-bit colour (red, green, blue; a grey picture takes red).
bool WriteWidePng(const std::string& file, FREE_IMAGE_TYPE type, WORD red, WORD green, WORD blue) {
    FreeImage_Initialise(TRUE);
    const int bpp = type == FIT_UINT16 ? 16 : type == FIT_RGB16 ? 48 : 64;
    FIBITMAP* bitmap = FreeImage_AllocateT(type, 4, 3, bpp);
    for (unsigned y = 0; y < 3; ++y) {
        BYTE* row = FreeImage_GetScanLine(bitmap, static_cast<int>(y));
        for (unsigned x = 0; x < 4; ++x) {
            if (type == FIT_UINT16) {
                reinterpret_cast<WORD*>(row)[x] = red;
            } else if (type == FIT_RGB16) {
                reinterpret_cast<FIRGB16*>(row)[x] = {red, green, blue};
            } else {
                reinterpret_cast<FIRGBA16*>(row)[x] = {red, green, blue, 0xFFFF};
            }
        }
    }
    const bool written = FreeImage_Save(FIF_PNG, bitmap, file.c_str(), 0) != 0;
    FreeImage_Unload(bitmap);
    FreeImage_DeInitialise();
    return written;
}

TEST(WideChannelPictures, LoadAtEveryDepthWithTheHighBytes) {
    test::TempDir dir;
    struct Case {
        const char* name;
        FREE_IMAGE_TYPE type;
        std::vector<uint8_t> bgr; // the first pixel at 24 bits
    };
    const Case cases[] = {{"rgb16.png", FIT_RGB16, {0xFF, 0x80, 0x12}},
                          {"rgba16.png", FIT_RGBA16, {0xFF, 0x80, 0x12}},
                          {"grey16.png", FIT_UINT16, {0x12, 0x12, 0x12}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = dir.file(c.name).string();
        ASSERT_TRUE(WriteWidePng(file, c.type, 0x1234, 0x8000, 0xFF00));
        for (int32_t depth : {8, 16, 24, 32}) {
            PictureInfo info;
            int32_t width = 0, height = 0;
            ASSERT_EQ(LoadPictureFile(file.c_str(), info, width, height, depth), 1) << depth;
            EXPECT_EQ(std::pair(width, height), std::pair(4, 3));
            EXPECT_EQ(info.header.biBitCount, depth);
            if (depth == 24) {
                EXPECT_EQ(std::vector<uint8_t>(info.pixels.begin(), info.pixels.begin() + 3),
                          c.bgr);
            }
        }
    }
}

} // namespace
} // namespace arbolix
