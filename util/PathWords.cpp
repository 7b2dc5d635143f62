// Path parts and word extraction of NumberText.h.
#include "NumberText.h"

namespace {

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::string PathFolder(std::string_view path)
{
    // The last character is skipped so that a folder path ("C:\Game\Models\")
    // gives its parent.  A path without a separator has no folder part.
    if (path.size() < 2)
        return {};
    for (size_t i = path.size() - 1; i-- > 0;) {
        if (IsPathSeparator(path[i]))
            return std::string(path.substr(0, i + 1));
    }
    return {};
}

std::string PathFileName(std::string_view path)
{
    const size_t last = path.find_last_of("\\/");
    if (last == std::string_view::npos)
        return std::string(path);
    return std::string(path.substr(last + 1));
}

WordBounds NthWordBounds(std::string_view text, std::string_view delimiters, uint8_t n)
{
    WordBounds bounds;
    if (delimiters.empty()) {
        if (n == 1 && !text.empty()) {
            bounds.found = true;
            bounds.start = 1;
            bounds.length = static_cast<int>(text.size());
        }
        return bounds;
    }
    if (n == 0)
        return bounds;

    const auto isDelimiter = [&](char c) { return delimiters.find(c) != std::string_view::npos; };
    int words = 0;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isDelimiter(text[i]))
            ++i;
        if (i == text.size())
            break;
        const size_t start = i;
        while (i < text.size() && !isDelimiter(text[i]))
            ++i;
        if (++words == n) {
            bounds.found = true;
            bounds.start = static_cast<int>(start) + 1;
            bounds.length = static_cast<int>(i - start);
            return bounds;
        }
    }
    return bounds;
}

std::string NthWord(std::string_view text, std::string_view delimiters, uint8_t n)
{
    const WordBounds bounds = NthWordBounds(text, delimiters, n);
    if (!bounds.found)
        return {};
    return std::string(text.substr(static_cast<size_t>(bounds.start - 1),
                                   static_cast<size_t>(bounds.length)));
}
