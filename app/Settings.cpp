#include "Settings.h"

#include <cstdio>
#include <filesystem>

#include "ConfigIni.h"
#include "Errors.h"
#include "NumberText.h"
#include "Paths.h"
#include "ProgramFolder.h"

namespace fs = std::filesystem;

std::string ReadSettings()
{
    try {
        const std::string file = ToFsPath(qx::SettingsFile());
        std::error_code ec;
        if (fs::exists(file, ec))
            return ReadWholeFile(file);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "qxvantor: settings not read: %s\n", error.what());
    }
    return std::string();
}

void ChangeSettings(const std::function<std::string(std::string_view content)>& change)
{
    try {
        const std::string file = ToFsPath(qx::SettingsFile());
        std::error_code ec;
        fs::create_directories(fs::path(file).parent_path(), ec);
        WriteWholeFile(file, change(ReadSettings()));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "qxvantor: settings not written: %s\n", error.what());
    }
}

std::optional<std::pair<int, int>> SavedWindowPlace(std::string_view name)
{
    const std::optional<std::string> value = IniReadString(ReadSettings(), "Windows", name);
    if (!value)
        return std::nullopt;
    const size_t space = value->find(' ');
    if (space == std::string::npos)
        return std::nullopt;
    try {
        return std::pair{qx::StrictTextToInt(std::string_view(*value).substr(0, space)),
                         qx::StrictTextToInt(std::string_view(*value).substr(space + 1))};
    } catch (const qx::ConvertError&) {
        return std::nullopt;
    }
}

void SaveWindowPlace(std::string_view name, int x, int y)
{
    ChangeSettings([&](std::string_view content) {
        return IniWriteString(content, "Windows", name, IntToEditText(x) + " " + IntToEditText(y));
    });
}
