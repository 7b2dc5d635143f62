// The text-to-number helpers on any bytes, under a separator and a locale
// point the first byte picks: a number that is accepted writes back to text
// that reads to the same float; the word and path helpers stay in bounds.
#include "Errors.h"
#include "NumberText.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    SetDecimalSeparator((data[0] & 1) ? ',' : '.');
    qx::SetUserLocaleDecimalPointOverride((data[0] & 2) ? ',' : '.');
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    try {
        const float value = EditTextToFloat(text);
        if (EditTextToFloat(FloatToEditText(value)) != value)
            std::abort();
    } catch (const qx::ConvertError&) {
    }
    const int32_t number = EditTextToInt(text);
    if (number != 0 && EditTextToInt(IntToEditText(number)) != number)
        std::abort();

    const std::string word = NthWord(text, " ,", data[0]);
    if (word.size() > text.size())
        std::abort();
    PathFolder(text);
    PathFileName(text);
    return 0;
}
