#include "Korvel3D/KorvelMatrix4RH.h"
#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelID.h"
#include "KorvelCommon/KorvelString.h"

#include "support/StringUnits.h"
#include "support/TestMedia.h"
#include "support/TestTempDir.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace
{
CKorvelString Path(const std::string& strPath)
{
    return CKorvelString(strPath.c_str());
}

std::vector<unsigned char> Bytes(const std::string& strText)
{
    return {strText.begin(), strText.end()};
}
} // namespace

// --- files on disk ------------------------------------------------------------------------

TEST(CKorvelFile, OpenFailuresLeaveItClosedAndAFileIsReadFromItsPath)
{
    CTestTempDir dir;
    CKorvelFile file;
    EXPECT_EQ(file.OpenFromFile(Path(dir.File("missing.bin")), CKorvelFile::FLAG_READ), KE_ERR_FILEOPEN);
    EXPECT_EQ(file.GetSize(), 0);
    char aBuf[8] = {};
    EXPECT_EQ(file.Read(aBuf, 1), 0u);
    // A folder is no file.
    EXPECT_EQ(file.OpenFromFile(Path(dir.Path()), CKorvelFile::FLAG_READ), KE_ERR_FILEOPEN);
    EXPECT_EQ(file.OpenFromFile(CKorvelString(), CKorvelFile::FLAG_READ), KE_ERR_FILEOPEN);
    EXPECT_EQ(file.OpenFromMemory(nullptr, 4, 0), KE_ERR_INVALIDARG);
    EXPECT_EQ(file.OpenFromMemory(aBuf, 0, 0), KE_ERR_INVALIDARG);

    ASSERT_TRUE(WriteTestFile(dir.File("data.bin"), "0123456789"));
    ASSERT_EQ(file.OpenFromFile(Path(dir.File("data.bin")), CKorvelFile::FLAG_READ), KE_OK);
    EXPECT_EQ(file.GetSize(), 10);
    EXPECT_EQ(file.GetPosition(), 0);
    EXPECT_EQ(file.Read(aBuf, 4), 4u);
    EXPECT_EQ(std::string(aBuf, 4), "0123");
    EXPECT_EQ(file.Seek(0, KET_SEEK_END), 9);
    EXPECT_EQ(file.Read(aBuf, 8), 1u);
    EXPECT_EQ(aBuf[0], '9');
    EXPECT_EQ(file.Read(aBuf, 8), 0u);
    // Read-only: writes are refused.
    EXPECT_EQ(file.Write("x", 1), 0u);
    EXPECT_EQ(ReadTestFile(dir.File("data.bin")), Bytes("0123456789"));
}

TEST(CKorvelFile, WriteTruncatesAndAppendWritesAtTheEnd)
{
    CTestTempDir dir;
    ASSERT_TRUE(WriteTestFile(dir.File("out.bin"), "old contents"));
    CKorvelFile file;
    ASSERT_EQ(file.OpenFromFile(Path(dir.File("out.bin")), CKorvelFile::FLAG_WRITE), KE_OK);
    EXPECT_EQ(file.GetSize(), 0);
    EXPECT_EQ(file.Write("abcdef", 6), 6u);
    file.Seek(2, KET_SEEK_BEGIN);
    EXPECT_EQ(file.Write("XY", 2), 2u);
    EXPECT_EQ(file.GetSize(), 6);
    EXPECT_EQ(file.Write(nullptr, 2), 0u);
    EXPECT_EQ(file.Write("Z", 0), 0u);
    file.Close();
    EXPECT_EQ(ReadTestFile(dir.File("out.bin")), Bytes("abXYef"));

    ASSERT_EQ(
        file.OpenFromFile(Path(dir.File("out.bin")), CKorvelFile::FLAG_WRITE | CKorvelFile::FLAG_APPEND),
        KE_OK);
    EXPECT_EQ(file.GetPosition(), 6);
    EXPECT_EQ(file.Write("g", 1), 1u);
    EXPECT_EQ(file.GetPosition(), 7);
    // Appended data lands at the end wherever the position was moved.
    file.Seek(0, KET_SEEK_BEGIN);
    EXPECT_EQ(file.Write("h", 1), 1u);
    EXPECT_EQ(file.GetSize(), 8);
    file.Close();
    EXPECT_EQ(ReadTestFile(dir.File("out.bin")), Bytes("abXYefgh"));

    // An owner-only open takes a file an older build left readable to others away from them.
    ASSERT_EQ(chmod(dir.File("out.bin").c_str(), 0644), 0);
    ASSERT_EQ(file.OpenFromFile(Path(dir.File("out.bin")), CKorvelFile::FLAG_WRITE |
                                                               CKorvelFile::FLAG_APPEND |
                                                               CKorvelFile::FLAG_OWNER_ONLY),
              KE_OK);
    EXPECT_EQ(file.Write("i", 1), 1u);
    file.Close();
    EXPECT_EQ(ReadTestFile(dir.File("out.bin")), Bytes("abXYefghi"));
    struct stat info = {};
    ASSERT_EQ(stat(dir.File("out.bin").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(CKorvelFile, BorrowersShareOneStreamWithTheirOwnPositions)
{
    CTestTempDir dir;
    ASSERT_TRUE(WriteTestFile(dir.File("pack.bin"), "ABCDEFGHIJ"));
    CKorvelFile pack;
    ASSERT_EQ(pack.OpenFromFile(Path(dir.File("pack.bin")), CKorvelFile::FLAG_READ), KE_OK);
    pack.Seek(6, KET_SEEK_BEGIN);
    CKorvelFile item;
    ASSERT_EQ(item.OpenFromHandle(pack), KE_OK);
    EXPECT_EQ(item.GetPosition(), 6);
    EXPECT_EQ(item.GetSize(), 10);
    pack.Seek(1, KET_SEEK_BEGIN);
    char a[2], b[2];
    EXPECT_EQ(item.Read(a, 2), 2u);
    EXPECT_EQ(pack.Read(b, 2), 2u);
    EXPECT_EQ(item.Read(a, 1), 1u);
    EXPECT_EQ(std::string(b, 2), "BC");
    EXPECT_EQ(a[0], 'I');
    // Closing the borrower leaves the owner's stream open.
    item.Close();
    EXPECT_EQ(pack.Read(b, 2), 2u);
    EXPECT_EQ(std::string(b, 2), "DE");
}

TEST(CKorvelFile, FileExistsAndRemoveFileDeletesWithoutAShell)
{
    CTestTempDir dir;
    ASSERT_TRUE(WriteTestFile(dir.File("a"), "1"));
    ASSERT_TRUE(WriteTestFile(dir.File("a b"), "2"));
    ASSERT_TRUE(WriteTestFile(dir.File("c;d"), "3"));
    EXPECT_EQ(CKorvelFile::FileExists(Path(dir.Path())), 0); // a folder is no file
    EXPECT_EQ(CKorvelFile::RemoveFile(Path(dir.File("a b"))), KE_OK);
    EXPECT_EQ(CKorvelFile::FileExists(Path(dir.File("a b"))), 0);
    EXPECT_EQ(CKorvelFile::FileExists(Path(dir.File("a"))), 1);
    EXPECT_EQ(CKorvelFile::RemoveFile(Path(dir.File("c;d"))), KE_OK);
    struct stat info;
    // Nothing, not even an empty file, is left behind.
    EXPECT_NE(stat(dir.File("c;d").c_str(), &info), 0);
    EXPECT_EQ(CKorvelFile::RemoveFile(Path(dir.File("c;d"))), KE_ERR_NOTFOUND);
    EXPECT_EQ(CKorvelFile::RemoveFile(Path(dir.File("none/x"))), KE_ERR_NOTFOUND);
    // A folder is not removed.
    EXPECT_EQ(CKorvelFile::RemoveFile(Path(dir.Path())), KE_ERR_DEVICE);
}

// --- files in memory -------------------------------------------------------------------------

TEST(CKorvelFile, MemoryReadsAndWritesStopAtTheEndAndSeekDoesNotClamp)
{
    unsigned char aBlock[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    CKorvelFile file;
    ASSERT_EQ(file.OpenFromMemory(aBlock, sizeof(aBlock), CKorvelFile::FLAG_READ), KE_OK);
    file.Seek(8, KET_SEEK_BEGIN);
    unsigned char aOut[4] = {};
    EXPECT_EQ(file.Read(aOut, 4), 2u);
    EXPECT_EQ(aOut[1], 9);
    EXPECT_EQ(file.GetPosition(), 10);
    EXPECT_EQ(file.Read(aOut, 4), 0u);
    EXPECT_EQ(file.Write(aOut, 1), 0u); // read-only
    EXPECT_EQ(file.Seek(0, KET_SEEK_END), 9);
    EXPECT_EQ(file.Seek(3, KET_SEEK_CURRENT), 12);
    EXPECT_EQ(file.Seek(2, KET_SEEK_END), 7);
    EXPECT_EQ(file.Seek(5, static_cast<eKET_SEEKMODE>(7)), 7);
    EXPECT_EQ(file.Seek(-20, KET_SEEK_CURRENT), -13);

    ASSERT_EQ(file.OpenFromMemory(aBlock, sizeof(aBlock), CKorvelFile::FLAG_WRITE), KE_OK);
    file.Seek(8, KET_SEEK_BEGIN);
    EXPECT_EQ(file.Write("wxyz", 4), 2u); // never grows
    EXPECT_EQ(file.GetSize(), 10);
    EXPECT_EQ(aBlock[8], 'w');
    EXPECT_EQ(aBlock[9], 'x');
}

TEST(CKorvelFile, MemoryAccessOutsideTheBlockMovesNothing)
{
    // Heap blocks, so the sanitizer sees any access outside them.
    std::vector<unsigned char> aBlock(10, 7);
    unsigned char aOut[4] = {};
    CKorvelFile file;
    ASSERT_EQ(file.OpenFromMemory(aBlock.data(), 10, CKorvelFile::FLAG_WRITE), KE_OK);
    for (int iPosition : {12, -3, 10})
    {
        file.Seek(iPosition, KET_SEEK_BEGIN);
        EXPECT_EQ(file.Read(aOut, 4), 0u);
        EXPECT_EQ(file.Write(aOut, 4), 0u);
        EXPECT_EQ(file.GetPosition(), iPosition);
    }
    file.Seek(2147483600, KET_SEEK_BEGIN);
    EXPECT_EQ(file.Read(aOut, 0xFFFFFFF0u), 0u);
    EXPECT_EQ(file.Seek(2147483600, KET_SEEK_CURRENT), 2147483647);
}

TEST(CKorvelFile, PrivateCopyIsIndependentOfTheCaller)
{
    std::vector<unsigned char> aBlock = {1, 2, 3};
    CKorvelFile file;
    ASSERT_EQ(file.OpenFromMemory(aBlock.data(), 3, CKorvelFile::FLAG_COPY | CKorvelFile::FLAG_WRITE), KE_OK);
    aBlock[0] = 9;
    unsigned char c = 0;
    EXPECT_EQ(file.Read(&c, 1), 1u);
    EXPECT_EQ(c, 1);
    EXPECT_EQ(file.Write("x", 1), 1u);
    EXPECT_EQ(aBlock[1], 2);
    // A second block replaces the first copy without losing it; the closing frees it.
    ASSERT_EQ(file.OpenFromMemory(aBlock.data(), 3, CKorvelFile::FLAG_COPY), KE_OK);
    file.Close();
    file.Close();
    EXPECT_EQ(file.GetSize(), 0);
}

TEST(CKorvelFile, BorrowedMemoryBlock)
{
    unsigned char aBlock[4] = {'a', 'b', 'c', 'd'};
    CKorvelFile owner;
    ASSERT_EQ(owner.OpenFromMemory(aBlock, 4, CKorvelFile::FLAG_COPY), KE_OK);
    owner.Seek(2, KET_SEEK_BEGIN);
    {
        CKorvelFile borrower;
        ASSERT_EQ(borrower.OpenFromHandle(owner), KE_OK);
        char c = 0;
        EXPECT_EQ(borrower.Read(&c, 1), 1u);
        EXPECT_EQ(c, 'c');
    }
    // The borrower did not free the owner's copy.
    char c = 0;
    EXPECT_EQ(owner.Read(&c, 1), 1u);
    EXPECT_EQ(c, 'c');
}

// --- name records --------------------------------------------------------------------------------

TEST(CKorvelFile, NameRecordsAndLongNamesCutButFullyConsumed)
{
    std::vector<unsigned char> aBlock(700, 'n');
    CKorvelFile file;
    ASSERT_EQ(file.OpenFromMemory(aBlock.data(), 64, CKorvelFile::FLAG_WRITE), KE_OK);
    CKorvelID object;
    object.SetName(CKorvelString(L"hero"));
    EXPECT_EQ(CKorvelFile::WriteName(file, &object), 5u);
    EXPECT_EQ(CKorvelFile::WriteName(file, nullptr), 1u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(aBlock.data()), 6), std::string("hero\0\0", 6));
    file.Seek(0, KET_SEEK_BEGIN);
    CKorvelString strName;
    CKorvelFile::ReadName(file, strName);
    EXPECT_EQ(Units(strName), u"hero");
    CKorvelFile::ReadName(file, strName);
    EXPECT_EQ(strName.GetLength(), 0);
    EXPECT_EQ(file.GetPosition(), 6);

    aBlock.assign(700, 'n');
    aBlock[600] = 0;
    aBlock[601] = 'z';
    aBlock[602] = 0;
    file.Close();
    ASSERT_EQ(file.OpenFromMemory(aBlock.data(), 700, 0), KE_OK);
    CKorvelFile::ReadName(file, strName);
    EXPECT_EQ(strName.GetLength(), 511);
    CKorvelFile::ReadName(file, strName);
    EXPECT_EQ(Units(strName), u"z");
    // A name running into the end of the data ends there.
    CKorvelFile::ReadName(file, strName);
    EXPECT_EQ(strName.GetLength(), 97);
}

// --- matrix records ---------------------------------------------------------------------------------

TEST(CKorvelFile, MatrixRecordsKeepThreeFloatsOfEachGroup)
{
    CKorvelMatrix4RH matrix;
    for (int i = 0; i < 16; ++i)
        matrix.m[i] = 0.5f + i;
    unsigned char aBlock[48] = {};
    CKorvelFile file;
    ASSERT_EQ(file.OpenFromMemory(aBlock, sizeof(aBlock), CKorvelFile::FLAG_WRITE), KE_OK);
    EXPECT_EQ(CKorvelFile::WriteMatrix(file, matrix), 48u);
    // Little-endian IEEE floats: 0.5 is 0x3F000000.
    EXPECT_EQ(aBlock[3], 0x3F);
    EXPECT_EQ(aBlock[0], 0x00);

    file.Seek(0, KET_SEEK_BEGIN);
    CKorvelMatrix4RH loaded;
    EXPECT_EQ(CKorvelFile::ReadMatrix(file, loaded), 48u);
    for (int i = 0; i < 16; ++i)
    {
        float fExpected = (i % 4 != 3) ? matrix.m[i] : (i == 15 ? 1.0f : 0.0f);
        EXPECT_EQ(loaded.m[i], fExpected) << "element " << i;
    }

    // A short record keeps the identity for the rest; 2.0f is 0x40000000.
    unsigned char aShort[14] = {0, 0, 0, 0x40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x40};
    file.Close();
    ASSERT_EQ(file.OpenFromMemory(aShort, sizeof(aShort), 0), KE_OK);
    CKorvelMatrix4RH partial;
    EXPECT_EQ(CKorvelFile::ReadMatrix(file, partial), 14u);
    EXPECT_EQ(partial.m[0], 2.0f);
    EXPECT_EQ(partial.m[1], 0.0f);
    EXPECT_EQ(partial.m[5], 1.0f);
    EXPECT_EQ(partial.m[10], 1.0f);
}
