#include "support/TestMedia.h"
#include "support/TestTempDir.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <png.h>

TEST(CTestTempDir, IsFreshAndRemovedAfterwards)
{
    std::string strKept;
    {
        CTestTempDir dir;
        strKept = dir.Path();
        EXPECT_TRUE(std::filesystem::is_directory(strKept));
        EXPECT_TRUE(std::filesystem::is_empty(strKept));
        ASSERT_TRUE(WriteTestFile(dir.File("a.txt"), std::string("hi")));
    }
    EXPECT_FALSE(std::filesystem::exists(strKept));
}

TEST(WriteTestPng, WritesPixelsThatLibpngReadsBack)
{
    CTestTempDir dir;
    std::vector<uint8_t> aPixels = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 10, 20, 30, 40};
    ASSERT_TRUE(WriteTestPng(dir.File("p.png"), 2, 2, aPixels));
    png_image image;
    memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, dir.File("p.png").c_str()));
    EXPECT_EQ(2u, image.width);
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> aBack(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, aBack.data(), 0, nullptr));
    EXPECT_EQ(aPixels, aBack);
    EXPECT_FALSE(WriteTestPng(dir.File("bad.png"), 4, 4, aPixels)) << "too few pixels for the size";
}

TEST(WriteTestWav, WritesACanonicalPcmHeaderAndSamples)
{
    CTestTempDir dir;
    ASSERT_TRUE(WriteTestWav(dir.File("s.wav"), 2, 22050, 16, {1, -1, 300, -300}));
    std::vector<uint8_t> aBytes = ReadTestFile(dir.File("s.wav"));
    ASSERT_EQ(44u + 8u, aBytes.size());
    EXPECT_EQ(0, memcmp(aBytes.data(), "RIFF", 4));
    EXPECT_EQ(0, memcmp(aBytes.data() + 8, "WAVEfmt ", 8));
    EXPECT_EQ(0, memcmp(aBytes.data() + 36, "data", 4));
    EXPECT_EQ(8, aBytes[40]);
    EXPECT_EQ(0xFF, aBytes[46]); // -1 little-endian
    EXPECT_EQ(0xFF, aBytes[47]);
    ASSERT_TRUE(WriteTestWav(dir.File("b.wav"), 1, 8000, 8, {0, 32767, -32768}));
    aBytes = ReadTestFile(dir.File("b.wav"));
    ASSERT_EQ(44u + 4u, aBytes.size()); // odd data is padded
    EXPECT_EQ(128, aBytes[44]);
    EXPECT_EQ(255, aBytes[45]);
    EXPECT_EQ(0, aBytes[46]);
}
