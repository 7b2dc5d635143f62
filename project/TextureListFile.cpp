#include "TextureListFile.h"

#include "Errors.h"
#include "NumberText.h"
#include "TextLines.h"

namespace qx {

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
    LineReader lines(data);
    const int32_t count = StrictTextToInt(lines.Next());
    for (int32_t i = 0; i < count; ++i) {
        const std::string_view line = lines.Next();
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
