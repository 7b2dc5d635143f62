#include "CountedWord.h"

#include <gtest/gtest.h>

#include <set>

#include "Text1251.h"

namespace {

TEST(CountedWord, RussianFormsFromZeroTo112)
{
    const std::set<int> one = {1, 21, 31, 41, 51, 61, 71, 81, 91, 101};
    std::set<int> few;
    for (int tens = 0; tens <= 100; tens += 10)
        if (tens != 10)
            few.insert({tens + 2, tens + 3, tens + 4});
    for (int n = 0; n <= 112; ++n) {
        const std::string expected =
            std::to_string(n) + (one.count(n) ? Cp(" раз") : few.count(n) ? Cp(" раза") : Cp(" раз"));
        EXPECT_EQ(qx::CountedWord(n, Cp("раз"), Cp("раза"), Cp("раз")), expected) << n;
        const int form = one.count(n) ? 0 : few.count(n) ? 1 : 2;
        EXPECT_EQ(qx::RussianPluralForm(n), form) << n;
    }
    EXPECT_EQ(qx::CountedWord(111, "a", "b", "c"), "111 c");
    EXPECT_EQ(qx::CountedWord(1001, "a", "b", "c"), "1001 a");
    EXPECT_EQ(qx::CountedWord(-3, "a", "b", "c"), "-3 b");
}

}  // namespace
