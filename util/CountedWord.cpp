#include "CountedWord.h"

namespace qx {

int RussianPluralForm(long long count)
{
    const long long n = count < 0 ? -(count % 100) : count % 100;
    if (n / 10 == 1)
        return 2;
    switch (n % 10) {
    case 1: return 0;
    case 2:
    case 3:
    case 4: return 1;
    default: return 2;
    }
}

std::string CountedWord(long long count, std::string_view one, std::string_view few, std::string_view many)
{
    const int form = RussianPluralForm(count);
    std::string text = std::to_string(count);
    text += ' ';
    text += form == 0 ? one : form == 1 ? few : many;
    return text;
}

}  // namespace qx
