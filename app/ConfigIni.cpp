#include "ConfigIni.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <vector>

#include "Errors.h"
#include "NumberText.h"
#include "Paths.h"

namespace {

std::string Trim(std::string_view s)
{
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return std::string(s.substr(b, e - b));
}

bool SameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::vector<std::string> SplitLines(std::string_view content)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string_view::npos)
            end = content.size();
        std::string line(content.substr(start, end - start));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

bool IsSectionHeader(const std::string& line, std::string* name)
{
    std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']')
        return false;
    *name = Trim(std::string_view(t).substr(1, t.size() - 2));
    return true;
}

bool IsKeyLine(const std::string& line, std::string_view key, std::string* value)
{
    size_t eq = line.find('=');
    if (eq == std::string::npos || !SameText(Trim(std::string_view(line).substr(0, eq)), key))
        return false;
    *value = Trim(std::string_view(line).substr(eq + 1));
    return true;
}

}  // namespace

std::optional<std::string> IniReadString(std::string_view content, std::string_view section, std::string_view key)
{
    bool inSection = false;
    for (const std::string& line : SplitLines(content)) {
        std::string name, value;
        if (IsSectionHeader(line, &name))
            inSection = SameText(name, section);
        else if (inSection && IsKeyLine(line, key, &value))
            return value;
    }
    return std::nullopt;
}

bool IniReadBool(std::string_view content, std::string_view section, std::string_view key, bool def)
{
    const std::optional<std::string> found = IniReadString(content, section, key);
    if (!found)
        return def;
    const std::string& value = *found;
    if (SameText(value, "true"))
        return true;
    if (SameText(value, "false"))
        return false;
    if (value.empty())
        return def;
    // An integer: non-zero is true.  Anything else keeps the default.
    if (EditTextToInt(value) != 0)
        return true;
    if (value.find_first_not_of("+-0") == std::string::npos)
        return false;
    return def;
}

std::string IniWriteString(std::string_view content, std::string_view section, std::string_view key,
                           std::string_view value)
{
    std::vector<std::string> lines = SplitLines(content);
    const std::string entry = std::string(key) + "=" + std::string(value);
    int sectionAt = -1;
    int insertAt = -1;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string name, old;
        if (IsSectionHeader(lines[i], &name)) {
            if (sectionAt >= 0 && insertAt < 0)
                insertAt = static_cast<int>(i);
            if (SameText(name, section) && sectionAt < 0)
                sectionAt = static_cast<int>(i);
        } else if (sectionAt >= 0 && insertAt < 0 && IsKeyLine(lines[i], key, &old)) {
            lines[i] = entry;
            insertAt = -2;  // replaced in place
            break;
        }
    }
    if (sectionAt < 0) {
        if (!lines.empty() && !lines.back().empty())
            lines.emplace_back();
        lines.push_back("[" + std::string(section) + "]");
        lines.push_back(entry);
    } else if (insertAt != -2) {
        // Keep the key with its section, before any blank lines that end it.
        size_t at = insertAt < 0 ? lines.size() : static_cast<size_t>(insertAt);
        while (at > static_cast<size_t>(sectionAt) + 1 && Trim(lines[at - 1]).empty())
            --at;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), entry);
    }
    std::string out;
    for (const std::string& line : lines)
        out += line + "\r\n";
    return out;
}

std::string IniWriteBool(std::string_view content, std::string_view section, std::string_view key,
                         bool value)
{
    return IniWriteString(content, section, key, value ? "1" : "0");
}

namespace {

std::string RecentKey(size_t i) { return "Recent" + std::to_string(i + 1); }

}  // namespace

std::vector<std::string> IniReadRecentProjects(std::string_view content)
{
    std::vector<std::string> folders;
    for (size_t i = 0; i < kRecentProjects; ++i)
        if (std::optional<std::string> folder = IniReadString(content, "Projects", RecentKey(i)); folder && !folder->empty())
            folders.push_back(*folder);
    return folders;
}

std::string IniWriteRecentProjects(std::string_view content, const std::vector<std::string>& folders)
{
    std::string out(content);
    for (size_t i = 0; i < kRecentProjects; ++i)
        if (i < folders.size() || IniReadString(out, "Projects", RecentKey(i)))
            out = IniWriteString(out, "Projects", RecentKey(i), i < folders.size() ? folders[i] : std::string());
    return out;
}

void PutFirst(std::vector<std::string>& folders, const std::string& folder)
{
    std::erase(folders, folder);
    folders.insert(folders.begin(), folder);
    if (folders.size() > kRecentProjects)
        folders.resize(kRecentProjects);
}

void MarkFirstStartDone(const std::string& fsPath)
{
    std::string content;
    if (std::filesystem::exists(fsPath))
        content = ReadWholeFile(fsPath);
    if (!IniReadBool(content, "Startup", "onestart", true))
        return;
    std::filesystem::path folder = std::filesystem::path(fsPath).parent_path();
    if (!folder.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
    }
    WriteWholeFile(fsPath, IniWriteBool(content, "Startup", "onestart", false));
}
