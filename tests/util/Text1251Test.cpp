#include "Text1251.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <string>

namespace {

TEST(Text1251, EveryAssignedByteSurvivesTheRoundTrip)
{
    for (int b = 1; b < 256; ++b) {
        if (b == 0x98)
            continue;
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(byte)), byte) << "byte " << b;
    }
}

TEST(Text1251, UnassignedByteBecomesReplacementCharacter)
{
    EXPECT_EQ(Cp1251ToUtf8("\x98"), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToCp1251("\xEF\xBF\xBD"), "?");
}

TEST(Text1251, CyrillicLettersAndPunctuation)
{
    EXPECT_EQ(Cp("_Игрок"), "_\xC8\xE3\xF0\xEE\xEA");
    EXPECT_EQ(Cp("+Примитивы"), "+\xCF\xF0\xE8\xEC\xE8\xF2\xE8\xE2\xFB");
    EXPECT_EQ(Cp("Ёё№€—"), "\xA8\xB8\xB9\x88\x97");
    EXPECT_EQ(Cp1251ToUtf8("\xC0\xFF"), "Ая");
}

// glibc's converter is an independent statement of the same table.
TEST(Text1251, AgreesWithTheSystemConverterOnEveryByte)
{
    iconv_t cd = iconv_open("UTF-8", "CP1251");
    if (cd == reinterpret_cast<iconv_t>(-1))
        GTEST_SKIP() << "the C library has no CP1251 converter";
    for (int b = 1; b < 256; ++b) {
        if (b == 0x98)
            continue;
        char in[1] = {static_cast<char>(b)};
        char out[8] = {};
        char* inPtr = in;
        char* outPtr = out;
        size_t inLeft = 1, outLeft = sizeof out;
        ASSERT_NE(iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft), static_cast<size_t>(-1)) << b;
        EXPECT_EQ(Cp1251ToUtf8(std::string(1, in[0])), std::string(out, outPtr)) << "byte " << b;
    }
    iconv_close(cd);
}

TEST(Text1251, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(Utf8ToCp1251("a中b"), "a?b");
    EXPECT_EQ(Utf8ToCp1251("😀"), "?");
    EXPECT_EQ(Utf8ToCp1251("é"), "?");
}

TEST(Text1251, MalformedUtf8BecomesOneQuestionMarkPerBadByte)
{
    EXPECT_EQ(Utf8ToCp1251("\xC0\xAF"), "??");          // overlong "/"
    EXPECT_EQ(Utf8ToCp1251("\xED\xA0\x80"), "???");     // surrogate
    EXPECT_EQ(Utf8ToCp1251("\xF4\x90\x80\x80"), "????"); // beyond U+10FFFF
    EXPECT_EQ(Utf8ToCp1251("a\xD0"), "a?");             // cut short at the end
    EXPECT_EQ(Utf8ToCp1251("\xD0" "a"), "?a");          // continuation missing
    EXPECT_EQ(Utf8ToCp1251("\x80x"), "?x");             // stray continuation
    EXPECT_EQ(Utf8ToCp1251("\xFF"), "?");
}

TEST(Text1251, EmbeddedZeroBytesAreKept)
{
    const std::string withZero("a\0b", 3);
    EXPECT_EQ(Cp1251ToUtf8(withZero), withZero);
    EXPECT_EQ(Utf8ToCp1251(withZero), withZero);
}

}  // namespace
