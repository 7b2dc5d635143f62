#include "TextureListFile.h"

#include "Errors.h"
#include "NumberText.h"

namespace qx {

namespace {

// Splits off the next line; past the end of the data it gives empty lines.
std::string_view NextLine(std::string_view& rest)
{
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

}  // namespace

std::string FormatTextureList(const std::vector<TextureListEntry>& entries)
{
    std::string out = std::to_string(entries.size()) + "\r\n";
    for (const TextureListEntry& entry : entries) {
        out += entry.name;
        out += entry.keyed ? "1\r\n" : "0\r\n";
    }
    return out;
}

void ParseTextureList(std::string_view data, const std::function<void(const TextureListEntry&)>& onEntry)
{
    const int32_t count = StrictTextToInt(NextLine(data));
    for (int32_t i = 0; i < count; ++i) {
        const std::string_view line = NextLine(data);
        // The flag is the line's last character; an empty line offers the
        // empty text, which the conversion rejects.
        const std::string_view flag = line.empty() ? line : line.substr(line.size() - 1);
        TextureListEntry entry;
        entry.keyed = IntToBool(StrictTextToInt(flag));
        entry.name = std::string(line.substr(0, line.size() - flag.size()));
        onEntry(entry);
    }
}

}  // namespace qx
