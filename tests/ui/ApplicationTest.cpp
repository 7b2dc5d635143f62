#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <langinfo.h>
#include <locale.h>
#include <string>

#include "MessageBoxSink.h"
#include "QtText.h"
#include "VantorApplication.h"

namespace {

// Qt sets the process locale from the environment; under a Russian one the
// C library would then write "0,500".  The application object pins numbers
// to the C form, while the user's separator stays readable for the fields.
TEST(VantorApplication, NumbersOfTheProcessStayInTheCForm)
{
    locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    const bool commaLocale = user && std::string(nl_langinfo_l(RADIXCHAR, user)) == ",";
    if (user)
        freelocale(user);
    if (!commaLocale)
        GTEST_SKIP() << "the ru_RU.UTF-8 locale is not installed here (test.sh generates it)";

    int argc = 1;
    char name[] = "ui_tests";
    char* argv[] = {name, nullptr};
    VantorApplication app(argc, argv);
    char text[16];
    std::snprintf(text, sizeof text, "%.3f", 0.5);
    EXPECT_STREQ(text, "0.500");
    EXPECT_STREQ(std::localeconv()->decimal_point, ".");
}

// The design's texts break their lines with CR LF or a lone CR.
TEST(MessageBoxText, BreaksLinesAtCrLfAndALoneCr)
{
    EXPECT_EQ(MessageBoxText(Cp("Категория не пустая!\rПродолжить удаление?")),
              Ui("Категория не пустая!\nПродолжить удаление?"));
    EXPECT_EQ(MessageBoxText("a\r\nb\rc\nd"), "a\nb\nc\nd");
}

}  // namespace
