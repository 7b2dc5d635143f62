#include "NumberText.h"
#include "SeparatorScope.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace {

// The texts as a comma separator writes them; other separators swap it in.
struct FloatCase {
    float value;
    const char* commaText;
};

const FloatCase kFloatCases[] = {
    {0.1f, "0,100000001490116"},
    {0.5f, "0,5"},
    {-2.25f, "-2,25"},
    {1.0f, "1"},
    {0.0f, "0"},
    {-0.0f, "0"},
    {100.0f, "100"},
    {0.0001220703125f, "0,0001220703125"},        // 2^-13, last fixed exponent
    {0.00006103515625f, "6,103515625E-5"},        // 2^-14, first scientific one
    {0.0001f, "9,99999974737875E-5"},             // just below 0.0001
    {562949953421312.0f, "562949953421312"},      // 2^49, 15 digits
    {1125899906842624.0f, "1,12589990684262E15"}, // 2^50, 16 digits
    // 2^-22 = 2.384185791015625E-7 exactly: a tie at the 16th digit rounds up.
    {2.384185791015625e-7f, "2,38418579101563E-7"},
    {-1e20f, "-1,00000002004088E20"},
    {1e15f, "999999986991104"},
    {3.4028235e38f, "3,40282346638529E38"},
    {1.4e-45f, "1,40129846432482E-45"},  // smallest subnormal
    {1e-3f, "0,00100000004749745"},
    {1e10f, "10000000000"},  // fewer digits than the integer part: zeros pad
    {1048576.0f, "1048576"},
    {123456792.0f, "123456792"},
};

std::string WithSeparator(const char* commaText, char separator)
{
    std::string text = commaText;
    for (char& c : text)
        if (c == ',')
            c = separator;
    return text;
}

class FloatToEditTextTest : public ::testing::TestWithParam<char> {};

TEST_P(FloatToEditTextTest, WritesEveryTableValueWithTheProcessSeparator)
{
    const char separator = GetParam();
    // The user's locale plays no part in writing.
    for (char localePoint : {',', '.'}) {
        qxtest::SeparatorScope scope(separator, localePoint);
        for (const FloatCase& c : kFloatCases)
            EXPECT_EQ(FloatToEditText(c.value), WithSeparator(c.commaText, separator))
                << "value " << c.value;
    }
}

TEST_P(FloatToEditTextTest, TextReadsBackToTheSameFloat)
{
    qxtest::SeparatorScope scope(GetParam(), GetParam());
    // A spread of magnitudes and mantissas, subnormals included.
    uint32_t bits = 1;
    for (int i = 0; i < 20000; ++i) {
        bits = bits * 1664525u + 1013904223u;
        float value;
        static_assert(sizeof value == sizeof bits);
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value))
            continue;
        const std::string text = FloatToEditText(value);
        EXPECT_EQ(EditTextToFloat(text), value) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(Separators, FloatToEditTextTest, ::testing::Values(',', '.'));

TEST(FloatToEditText, NonFiniteValuesHaveNames)
{
    EXPECT_EQ(FloatToEditText(std::numeric_limits<float>::infinity()), "INF");
    EXPECT_EQ(FloatToEditText(-std::numeric_limits<float>::infinity()), "-INF");
    EXPECT_EQ(FloatToEditText(std::numeric_limits<float>::quiet_NaN()), "NAN");
}

TEST(EditTextToInt, AcceptsOnlyAWholeNumberInRange)
{
    struct Case {
        const char* text;
        int32_t expected;
    };
    const Case cases[] = {
        {"  42", 42},
        {"42 ", 0},
        {"$1F", 31},
        {"-0x10", -16},
        {"", 0},
        {"2147483648", 0},
        {"-2147483648", std::numeric_limits<int32_t>::min()},
        {"2147483647", std::numeric_limits<int32_t>::max()},
        {"+7", 7},
        {"-", 0},
        {"+", 0},
        {"   ", 0},
        {"$", 0},
        {"0x", 0},
        {"-$", 0},
        {"x1f", 31},
        {"X1F", 31},
        {"0XfF", 255},
        {"$7FFFFFFF", 2147483647},
        {"$80000000", 0},
        {"-$80000000", std::numeric_limits<int32_t>::min()},
        {"$FFFFFFFF", 0},
        {"99999999999999999999999", 0},
        {"-2147483649", 0},
        {"12a", 0},
        {"1F", 0},
        {"\t1", 0},  // only the blank character 32 is skipped
        {"- 1", 0},
        {"007", 7},
        {"0", 0},
        {"1.5", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EditTextToInt(c.text), c.expected) << "\"" << c.text << "\"";
}

TEST(IntToEditText, PlainDecimalDigits)
{
    EXPECT_EQ(IntToEditText(-7), "-7");
    EXPECT_EQ(IntToEditText(0), "0");
    EXPECT_EQ(IntToEditText(1234567), "1234567");
    EXPECT_EQ(IntToEditText(std::numeric_limits<int32_t>::min()), "-2147483648");
    for (int32_t v : {-100, -1, 0, 1, 65535, std::numeric_limits<int32_t>::max()})
        EXPECT_EQ(EditTextToInt(IntToEditText(v)), v);
}

TEST(IntToBool, TrueExactlyWhenNonZero)
{
    EXPECT_FALSE(IntToBool(0));
    EXPECT_TRUE(IntToBool(1));
    EXPECT_TRUE(IntToBool(-1));
    EXPECT_TRUE(IntToBool(std::numeric_limits<int32_t>::min()));
}

TEST(DecimalSeparator, StartsFromTheUserLocale)
{
    qxtest::SeparatorScope scope('.', ',');
    InitDecimalSeparatorFromLocale();
    EXPECT_EQ(DecimalSeparator(), ',');
    qx::SetUserLocaleDecimalPointOverride('.');
    InitDecimalSeparatorFromLocale();
    EXPECT_EQ(DecimalSeparator(), '.');
}

}  // namespace

namespace {

// The 15-digit text from the exact decimal expansion (printf's %.120e holds
// every digit of a single), rounded half away from zero: the reference the
// fast formatter must match.
std::string ReferenceText(float value)
{
    char buffer[200];
    std::snprintf(buffer, sizeof buffer, "%.120e", std::fabs(static_cast<double>(value)));
    std::string digits;
    const char* p = buffer;
    for (; *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            digits += *p;
    int e = std::atoi(p + 1) + 1;
    std::string kept = digits.substr(0, 15);
    if (digits[15] >= '5') {
        int i = 14;
        while (i >= 0 && kept[static_cast<size_t>(i)] == '9')
            kept[static_cast<size_t>(i--)] = '0';
        if (i >= 0)
            ++kept[static_cast<size_t>(i)];
        else {
            kept = "1" + kept.substr(0, 14);
            ++e;
        }
    }
    while (kept.size() > 1 && kept.back() == '0')
        kept.pop_back();
    std::string text = value < 0 ? "-" : "";
    if (e >= -3 && e <= 15) {
        if (e <= 0)
            text += "0." + std::string(static_cast<size_t>(-e), '0') + kept;
        else if (static_cast<int>(kept.size()) <= e)
            text += kept + std::string(static_cast<size_t>(e) - kept.size(), '0');
        else
            text += kept.substr(0, static_cast<size_t>(e)) + "." + kept.substr(static_cast<size_t>(e));
    } else {
        text += kept.substr(0, 1);
        if (kept.size() > 1)
            text += "." + kept.substr(1);
        text += "E" + std::to_string(e - 1);
    }
    return text;
}

}  // namespace

TEST(FloatToEditTextExact, MatchesTheExactExpansionAcrossTheRangeAndOnTies)
{
    qxtest::SeparatorScope point('.', '.');
    // 2^-22 = 2.384185791015625E-7 ends exactly on a 16th digit 5: away from zero.
    EXPECT_EQ(FloatToEditText(std::ldexp(1.0f, -22)), "2.38418579101563E-7");
    EXPECT_EQ(FloatToEditText(-std::ldexp(1.0f, -22)), "-2.38418579101563E-7");
    for (uint64_t bits = 1; bits < 0x7F800000u; bits += 4099) {
        uint32_t b = static_cast<uint32_t>(bits);
        float v;
        std::memcpy(&v, &b, sizeof v);
        ASSERT_EQ(FloatToEditText(v), ReferenceText(v)) << "bits " << b;
    }
    std::string appended = "x";
    AppendFloatToEditText(appended, -0.5f);
    EXPECT_EQ(appended, "x-0.5");
}
