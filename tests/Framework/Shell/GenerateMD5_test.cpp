#include "Framework/Shell/GenerateMD5.h"

#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelString.h"
#include "support/TestMedia.h"
#include "support/TestTempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace
{
std::string Narrow(const CKorvelString& str)
{
    std::string s;
    for (int i = 0; i < str.GetLength(); ++i)
        s += (char)str.GetBuffer()[i];
    return s;
}

std::string DigestOf(const std::string& bytes)
{
    CVornMD5 md5;
    md5.MD5(reinterpret_cast<const unsigned char*>(bytes.data()), (unsigned int)bytes.size());
    CKorvelString str;
    md5.GetDigestStr(str);
    return Narrow(str);
}

std::string DigestOfFile(CKorvelFile& file)
{
    CVornMD5 md5;
    md5.MD5(file);
    CKorvelString str;
    md5.GetDigestStr(str);
    return Narrow(str);
}

std::vector<unsigned char> ThreeRunsOfAllBytes()
{
    std::vector<unsigned char> v;
    for (int r = 0; r < 3; ++r)
        for (int i = 0; i < 256; ++i)
            v.push_back((unsigned char)i);
    return v;
}
} // namespace

TEST(CVornMD5, Rfc1321Vectors)
{
    const char* aCases[][2] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& c : aCases)
        EXPECT_EQ(DigestOf(c[0]), c[1]) << c[0];
}

TEST(CVornMD5, DigestBytesAndPiecewiseUpdates)
{
    CVornMD5 md5;
    md5.MD5(reinterpret_cast<const unsigned char*>("abc"), 3);
    const unsigned char expected[16] = {0x90, 0x01, 0x50, 0x98, 0x3c, 0xd2, 0x4f, 0xb0,
                                        0xd6, 0x96, 0x3f, 0x7d, 0x28, 0xe1, 0x7f, 0x72};
    EXPECT_EQ(memcmp(md5.GetDigest(), expected, 16), 0);

    // Lengths around the padding's edges: 56 and 120 bytes leave no room for the length in
    // their last block, so the padding takes a whole block more.
    std::vector<unsigned char> data = ThreeRunsOfAllBytes();
    const std::pair<unsigned int, const char*> aEdges[] = {
        {55, "6912ee65fff2d9f9ce2508cddf8bcda0"},  {56, "51fdd1acda72405dfdfa03fcb85896d7"},
        {57, "5320ef4c17ef34a0cf2db763338d25eb"},  {63, "48a6295221902e8e0938f773a7185e72"},
        {64, "b2d3f56bc197fd985d5965079b5e7148"},  {119, "1c772251899a7ff007400b888d6b2042"},
        {120, "b7ba1efc6022e9ed272f00b8831e26e6"}, {121, "b0b2d719a838db877b6d6571a39a1cdc"},
    };
    for (const auto& edge : aEdges)
        EXPECT_EQ(DigestOf(std::string(data.begin(), data.begin() + edge.first)), edge.second) << edge.first;

    // Every split of a message around the block and padding boundaries gives one digest.
    for (unsigned int uLength : {55u, 56u, 63u, 64u, 65u, 119u, 120u, 768u})
    {
        CVornMD5 whole;
        whole.MD5(data.data(), uLength);
        for (unsigned int uSplit = 0; uSplit <= uLength; uSplit += 7)
        {
            CVornMD5 parts;
            parts.Init();
            parts.Update(data.data(), uSplit);
            parts.Update(data.data() + uSplit, uLength - uSplit);
            parts.Finalize();
            ASSERT_EQ(memcmp(parts.GetDigest(), whole.GetDigest(), 16), 0)
                << uLength << " split at " << uSplit;
        }
    }
    CKorvelString str;
    CVornMD5 all;
    all.MD5(data.data(), (unsigned int)data.size());
    all.GetDigestStr(str);
    EXPECT_EQ(Narrow(str), "e6899eaaf06fd702f3ed3f988eb19362");
}

TEST(CVornMD5, FileIsDigestedWholeFromAnyPosition)
{
    std::vector<unsigned char> data = ThreeRunsOfAllBytes();
    CKorvelFile mem;
    ASSERT_EQ(mem.OpenFromMemory(data.data(), (unsigned int)data.size(), CKorvelFile::FLAG_READ), KE_OK);
    mem.Seek(300, KET_SEEK_BEGIN);
    EXPECT_EQ(DigestOfFile(mem), "e6899eaaf06fd702f3ed3f988eb19362");

    CTestTempDir dir;
    std::string strPath = dir.File("pack.kmp");
    ASSERT_TRUE(WriteTestFile(strPath, std::vector<uint8_t>(data.begin(), data.end())));
    CKorvelFile disk;
    ASSERT_EQ(disk.OpenFromFile(CKorvelString(strPath.c_str()), CKorvelFile::FLAG_READ), KE_OK);
    unsigned char aSkip[100];
    disk.Read(aSkip, sizeof(aSkip));
    EXPECT_EQ(DigestOfFile(disk), "e6899eaaf06fd702f3ed3f988eb19362");

    CKorvelFile empty;
    ASSERT_EQ(empty.OpenFromFile(CKorvelString(dir.File("empty").c_str()), CKorvelFile::FLAG_WRITE), KE_OK);
    EXPECT_EQ(DigestOfFile(empty), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(CVornMD5, GenerateMD5HashesTheLowBytes)
{
    CKorvelString str;
    GenerateMD5(str);
    EXPECT_EQ(Narrow(str), "d41d8cd98f00b204e9800998ecf8427e");
    str.Set("password123");
    GenerateMD5(str);
    EXPECT_EQ(Narrow(str), "482c811da5d5b4bc6d497ffa98491e38");
    // Bytes 0x80-0xFF come back from their widened units; other units lose the high byte.
    str.Set("\xE9t\xE9");
    GenerateMD5(str);
    EXPECT_EQ(Narrow(str), "70b06e3087350c8c4fc3f13e741879f3");
    const unsigned short aUnits[] = {0x01E9, 't', 0x0AE9, 0};
    str.Set(aUnits);
    GenerateMD5(str);
    EXPECT_EQ(Narrow(str), "70b06e3087350c8c4fc3f13e741879f3");
}
