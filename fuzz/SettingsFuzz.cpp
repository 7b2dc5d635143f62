// The settings file Config.ini on any bytes: the start-up flag and the
// recent projects read without failing, at most eight of them, none empty,
// and what is written back reads back the same, the flag kept.
#include "ConfigIni.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const bool flag = IniReadBool(content, "Startup", "onestart", true);
    std::vector<std::string> recent = IniReadRecentProjects(content);
    if (recent.size() > kRecentProjects)
        std::abort();
    for (const std::string& folder : recent)
        if (folder.empty())
            std::abort();
    PutFirst(recent, "/new");
    const std::string written = IniWriteRecentProjects(content, recent);
    if (IniReadRecentProjects(written) != recent)
        std::abort();
    if (IniReadBool(written, "Startup", "onestart", true) != flag)
        std::abort();
    return 0;
}
