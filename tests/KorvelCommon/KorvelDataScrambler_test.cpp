#include "KorvelCommon/KorvelDataScrambler.h"
#include "KorvelCommon/KorvelString.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
CKorvelString KeyOf(const std::vector<unsigned short>& aUnits)
{
    std::vector<unsigned short> aText(aUnits);
    aText.push_back(0);
    return CKorvelString(aText.data());
}

std::vector<unsigned char> Scrambled(const CKorvelString& strKey, size_t uSize)
{
    std::vector<unsigned char> aData(uSize, 0);
    EXPECT_EQ(CKorvelDataScrambler().Scramble(strKey, aData.data(), static_cast<unsigned int>(uSize)), KE_OK);
    return aData;
}
} // namespace

TEST(CKorvelDataScrambler, RefusesShortKeysAndScramblingTwiceRestoresTheData)
{
    CKorvelDataScrambler scrambler;
    unsigned char aData[4] = {1, 2, 3, 4};
    EXPECT_EQ(scrambler.Scramble(CKorvelString("ab"), aData, 4), KE_ERR_INVALIDARG);
    EXPECT_EQ(scrambler.DeScramble(CKorvelString(""), aData, 4), KE_ERR_INVALIDARG);
    EXPECT_EQ(scrambler.Scramble(CKorvelString("abc"), nullptr, 4), KE_ERR_INVALIDARG);
    EXPECT_EQ(scrambler.Scramble(CKorvelString("abc"), aData, 0), KE_ERR_INVALIDARG);
    EXPECT_EQ(std::vector<unsigned char>(aData, aData + 4), (std::vector<unsigned char>{1, 2, 3, 4}));
    std::string strOriginal = "The quick brown fox jumps over the lazy dog, 0123456789.";
    std::string strData = strOriginal;
    CKorvelDataScrambler* pScrambler = CKorvelDataScrambler::New();
    ASSERT_NE(pScrambler, nullptr);
    CKorvelString strKey("abc");
    ASSERT_EQ(pScrambler->Scramble(strKey, &strData[0], static_cast<unsigned int>(strData.size())), KE_OK);
    EXPECT_NE(strData, strOriginal);
    for (size_t i = 0; i < strData.size(); ++i)
        EXPECT_NE(strData[i], strOriginal[i]) << i; // the table has no zero byte
    ASSERT_EQ(pScrambler->DeScramble(strKey, &strData[0], static_cast<unsigned int>(strData.size())), KE_OK);
    EXPECT_EQ(strData, strOriginal);
    delete pScrambler;
}

TEST(CKorvelDataScrambler, ShortKeysAreMirroredIntoThePassword)
{
    CKorvelDataScrambler scrambler;
    CKorvelString strPwd;
    scrambler.BuildPwd(CKorvelString("abc"), strPwd);
    EXPECT_EQ(strPwd.Compare(CKorvelString("abccba")), 0);

    std::vector<unsigned short> a62(62, 'x'), a63(63, 'y');
    scrambler.BuildPwd(KeyOf(a62), strPwd);
    EXPECT_EQ(strPwd.GetLength(), 124);
    scrambler.BuildPwd(KeyOf(a63), strPwd);
    EXPECT_EQ(strPwd.Compare(KeyOf(a63)), 0);

    // The pattern repeats with the password's length.
    std::vector<unsigned char> aData = Scrambled(CKorvelString("abc"), 24);
    for (size_t i = 0; i + 6 < aData.size(); ++i)
        EXPECT_EQ(aData[i], aData[i + 6]) << i;
    EXPECT_EQ(aData[0], aData[5]); // 'a' opens and closes "abccba"
}

TEST(CKorvelDataScrambler, OnlyTheFirst128PasswordUnitsTakePart)
{
    std::vector<unsigned short> aKey(200);
    for (size_t i = 0; i < aKey.size(); ++i)
        aKey[i] = static_cast<unsigned short>(0x100 + i); // no zero unit, low byte i
    std::vector<unsigned short> aTail = aKey;
    for (size_t i = 128; i < aTail.size(); ++i)
        aTail[i] = 0x55;
    std::vector<unsigned short> aHead = aKey;
    aHead[5] = 0x55;

    std::vector<unsigned char> aBase = Scrambled(KeyOf(aKey), 600);
    EXPECT_EQ(Scrambled(KeyOf(aTail), 600), aBase);
    EXPECT_NE(Scrambled(KeyOf(aHead), 600), aBase);
    // j runs over 0..199 and uses unit j mod 128: byte 200 starts again at unit 0, byte 128 reuses unit 0.
    EXPECT_EQ(aBase[200], aBase[0]);
    EXPECT_EQ(aBase[128], aBase[0]);
    // Only the low 7 bits of a unit choose the table byte.
    aKey[3] = 0x1F83;
    EXPECT_EQ(Scrambled(KeyOf(aKey), 600), aBase);
}
