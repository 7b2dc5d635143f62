// A count before its word, in the Russian forms: "1 раз", "3 раза",
// "11 раз", "21 раз".  Words are 1251 bytes, like every text of the model.
#pragma once

#include <string>
#include <string_view>

namespace qx {

// Which of the three forms a count takes: 0 after 1, 21, 31… (not 11);
// 1 after 2–4, 22–24… (not 12–14); 2 after everything else.
int RussianPluralForm(long long count);

// The count in digits, a space and the word in the form the count takes.
std::string CountedWord(long long count, std::string_view one, std::string_view few, std::string_view many);

}  // namespace qx
