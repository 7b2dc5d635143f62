#include "Errors.h"
#include "NumberText.h"
#include "SeparatorScope.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <tuple>

namespace {

const char* const kConvertMessage = "Could not convert variant of type (String) into type (Double)";

// Every pairing of process separator and the user locale's decimal point.
class EditTextToFloatTest : public ::testing::TestWithParam<std::tuple<char, char>> {
protected:
    char ProcessSeparator() const { return std::get<0>(GetParam()); }
    char LocalePoint() const { return std::get<1>(GetParam()); }
    bool Accepts(char separator) const
    {
        return separator == ProcessSeparator() || separator == LocalePoint();
    }
};

void ExpectConvertError(std::string_view text)
{
    try {
        EditTextToFloat(text);
        ADD_FAILURE() << "accepted \"" << text << "\"";
    } catch (const qx::ConvertError& e) {
        EXPECT_STREQ(e.what(), kConvertMessage) << text;
    }
}

TEST_P(EditTextToFloatTest, ReadsTheLocaleOrTheProcessSeparator)
{
    qxtest::SeparatorScope scope(ProcessSeparator(), LocalePoint());
    for (char separator : {',', '.'}) {
        const std::string quarter = std::string("0") + separator + "25";
        if (Accepts(separator))
            EXPECT_EQ(EditTextToFloat(quarter), 0.25f) << quarter;
        else
            ExpectConvertError(quarter);
        const std::string negative = std::string(" -1") + separator + "5E2 ";
        if (Accepts(separator))
            EXPECT_EQ(EditTextToFloat(negative), -150.0f) << negative;
        else
            ExpectConvertError(negative);
    }
}

TEST_P(EditTextToFloatTest, ReadsNumbersWithoutSeparator)
{
    qxtest::SeparatorScope scope(ProcessSeparator(), LocalePoint());
    EXPECT_EQ(EditTextToFloat("0"), 0.0f);
    EXPECT_EQ(EditTextToFloat("-3"), -3.0f);
    EXPECT_EQ(EditTextToFloat("+12"), 12.0f);
    EXPECT_EQ(EditTextToFloat("  7  "), 7.0f);
    EXPECT_EQ(EditTextToFloat("1e3"), 1000.0f);
    EXPECT_EQ(EditTextToFloat("5E-1"), 0.5f);
    EXPECT_EQ(EditTextToFloat("2e+2"), 200.0f);
    // Underflow is not an error: the value is simply zero.
    EXPECT_EQ(EditTextToFloat("1e-400"), 0.0f);
}

TEST_P(EditTextToFloatTest, RoundsTheDoubleToTheNearestSingle)
{
    qxtest::SeparatorScope scope(ProcessSeparator(), LocalePoint());
    const std::string tenth = std::string("0") + ProcessSeparator() + "1";
    EXPECT_EQ(EditTextToFloat(tenth), 0.1f);
    EXPECT_EQ(EditTextToFloat("16777217"), 16777216.0f);
}

TEST_P(EditTextToFloatTest, RejectsWhatIsNotANumber)
{
    qxtest::SeparatorScope scope(ProcessSeparator(), LocalePoint());
    for (const char* text : {"", " ", "-", "+", "abc", "1a", "1e", "1e+", "e5", "1 2", "--1", "1-",
                             "0,,5", "0..5", "1,2,3", "1.2.3", "1,5.5", "inf", "-INF", "nan",
                             "0x10", "$10", "1_000", "\n1", "1\n"})
        ExpectConvertError(text);
    const char separatorOnly[] = {ProcessSeparator(), '\0'};
    ExpectConvertError(separatorOnly);
}

TEST_P(EditTextToFloatTest, OverflowIsAnError)
{
    qxtest::SeparatorScope scope(ProcessSeparator(), LocalePoint());
    ExpectConvertError("1E400");
    ExpectConvertError("-1e309");
    // Inside the double range but not the single one: still no number the
    // model can hold.
    ExpectConvertError("1E39");
    ExpectConvertError("-3.5e38");
    ExpectConvertError("-3,5e38");
    EXPECT_EQ(EditTextToFloat("3e38"), 3e38f);
}

INSTANTIATE_TEST_SUITE_P(SeparatorsAndLocales, EditTextToFloatTest,
                         ::testing::Combine(::testing::Values(',', '.'), ::testing::Values(',', '.')),
                         [](const auto& info) {
                             auto name = [](char c) { return c == ',' ? "Comma" : "Point"; };
                             return std::string("Process") + name(std::get<0>(info.param)) + "Locale"
                                 + name(std::get<1>(info.param));
                         });

// The real locale machinery, as opposed to the simulated decimal point.
class UserLocaleTest : public ::testing::Test {
protected:
    ~UserLocaleTest() override { qx::SetUserLocale(""); }
};

TEST_F(UserLocaleTest, UnknownLocaleNameKeepsThePreviousOne)
{
    ASSERT_TRUE(qx::SetUserLocale("C"));
    EXPECT_FALSE(qx::SetUserLocale("xx_NOWHERE.UTF-8"));
    EXPECT_EQ(qx::UserLocaleDecimalPoint(), '.');
    qxtest::SeparatorScope scope(',', 0);
    EXPECT_EQ(EditTextToFloat("2.5"), 2.5f);
}

TEST_F(UserLocaleTest, ParsingLeavesTheProcessLocaleAlone)
{
    ASSERT_TRUE(qx::SetUserLocale("C"));
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    EditTextToFloat("1.5");
    InitDecimalSeparatorFromLocale();
    EXPECT_EQ(std::setlocale(LC_NUMERIC, nullptr), before);
}

TEST_F(UserLocaleTest, RealCommaLocaleReadsComma)
{
    const char* names[] = {"ru_RU.UTF-8", "ru_RU.utf8", "de_DE.UTF-8", "fr_FR.UTF-8"};
    bool installed = false;
    for (const char* name : names)
        if (qx::SetUserLocale(name)) {
            installed = true;
            break;
        }
    if (!installed)
        GTEST_SKIP() << "no comma locale generated on this machine";
    qxtest::SeparatorScope scope('.', 0);
    EXPECT_EQ(qx::UserLocaleDecimalPoint(), ',');
    EXPECT_EQ(EditTextToFloat("0,25"), 0.25f);
    EXPECT_EQ(EditTextToFloat("0.25"), 0.25f);  // through the process separator
    SetDecimalSeparator(',');
    ExpectConvertError("0.25");
}

}  // namespace
