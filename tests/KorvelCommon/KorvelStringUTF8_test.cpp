#include "KorvelCommon/KorvelString.h"

#include "support/StringUnits.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
// iLen -2: the whole byte string.
CKorvelString Utf8(const std::string& bytes, int iLen = -2)
{
    CKorvelString str;
    str.FromUTF8(bytes.data(), iLen == -2 ? static_cast<int>(bytes.size()) : iLen);
    return str;
}
} // namespace

TEST(CKorvelString, Utf8DecodesWellFormedSequences)
{
    EXPECT_EQ(Units(Utf8("\xC3\xA9")), (std::u16string{0x00E9}));
    EXPECT_EQ(Units(Utf8("\xE2\x82\xAC")), (std::u16string{0x20AC}));
    EXPECT_EQ(Units(Utf8("abc", 2)), u"ab");
    EXPECT_EQ(Units(Utf8(std::string("ab\0cd", 5))), u"ab");
    // A four-byte sequence becomes a surrogate pair.
    EXPECT_EQ(Units(Utf8("\xF0\x9F\x98\x80")), (std::u16string{0xD83D, 0xDE00}));
    // Surrogate halves sent as three-byte sequences come back as those units.
    EXPECT_EQ(Units(Utf8("\xED\xA0\xBD\xED\xB8\x80")), (std::u16string{0xD83D, 0xDE00}));
    // Nothing for a null text or a length below one.
    CKorvelString str(L"old");
    str.FromUTF8(nullptr, -1);
    ExpectEmpty(str);
    str.Set(L"old");
    str.FromUTF8("abc", 0);
    ExpectEmpty(str);
    str.Set(L"old");
    str.FromUTF8("abc", -5);
    ExpectEmpty(str);
}

TEST(CKorvelString, Utf8InvalidOrTruncatedBytesBecomeReplacementCharacters)
{
    const char16_t R = 0xFFFD;
    EXPECT_EQ(Units(Utf8("a\xA9z")), (std::u16string{u'a', R, u'z'}));
    // 0x80 never becomes a zero unit inside the text.
    EXPECT_EQ(Units(Utf8("\x80x")), (std::u16string{R, u'x'}));
    // Overlong forms.
    EXPECT_EQ(Units(Utf8("\xC0\x80")), (std::u16string{R, R}));
    EXPECT_EQ(Units(Utf8("\xE0\x80\xAF")), (std::u16string{R, R, R}));
    EXPECT_EQ(Units(Utf8("\xF0\x80\x80\x80")), (std::u16string{R, R, R, R}));
    // Beyond U+10FFFF and bytes that never start a sequence.
    EXPECT_EQ(Units(Utf8("\xF4\x90\x80\x80")), (std::u16string{R, R, R, R}));
    EXPECT_EQ(Units(Utf8("\xFF\xF8")), (std::u16string{R, R}));
    // A sequence cut short by another byte gives one replacement for its valid part.
    EXPECT_EQ(Units(Utf8("\xE2\x82x")), (std::u16string{R, u'x'}));
    // Heap copies, so the sanitizer sees any read past them.
    std::vector<char> aThree = {'a', '\xE2', '\x82'};
    CKorvelString str;
    str.FromUTF8(aThree.data(), 3);
    EXPECT_EQ(Units(str), (std::u16string{u'a', R}));
    std::vector<char> aFour = {'\xF0', '\x9F', '\x98'};
    str.FromUTF8(aFour.data(), 3);
    EXPECT_EQ(Units(str), (std::u16string{R}));
    std::vector<char> aZero = {'\xC3', 0};
    str.FromUTF8(aZero.data(), -1);
    EXPECT_EQ(Units(str), (std::u16string{R}));
}

TEST(CKorvelString, MakeUtf8MeasuresThenWrites)
{
    CKorvelString str(FromUnits(std::u16string{0x20AC}));
    EXPECT_EQ(str.MakeUTF8(nullptr), 4);
    char aOut[4];
    EXPECT_EQ(str.MakeUTF8(aOut), 4);
    EXPECT_EQ(std::string(aOut, 4), std::string("\xE2\x82\xAC\0", 4));
    EXPECT_EQ(CKorvelString().MakeUTF8(nullptr), 1);

    // Every unit comes back through the decoder, surrogate halves included.
    CKorvelString mixed(FromUnits(std::u16string{u'A', 0x7FF, 0x800, 0xD83D, 0xDE00, 0xDC00, 0xFFFF}));
    std::vector<char> aBytes(mixed.MakeUTF8(nullptr));
    mixed.MakeUTF8(aBytes.data());
    EXPECT_EQ(Units(Utf8(aBytes.data(), -1)), Units(mixed));
}
