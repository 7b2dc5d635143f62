// The recovery of a save cut short, on any journal: it never leaves the
// project folder (whatever paths the journal names) and always removes the
// journal, so a damaged one cannot stop every later start.
#include "FileSet.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const fs::path root = [] {
        std::string name = (fs::temp_directory_path() / "qx_fuzz_journal_XXXXXX").string();
        if (::mkdtemp(name.data()) == nullptr)
            std::abort();
        return fs::path(name);
    }();
    const fs::path folder = root / "Saves";
    fs::remove_all(folder);
    fs::create_directory(folder);
    for (const char* name : {"a.qxobj", "a.qxobj.~1-0", "b.qxmap.~old1-1", "\xC4.qxobj"})
        std::ofstream(folder / name) << name;
    std::ofstream(folder / qx::kSaveJournal, std::ios::binary).write(reinterpret_cast<const char*>(data),
                                                                      static_cast<std::streamsize>(size));
    qx::RecoverInterruptedSave(folder.string() + "/");
    if (fs::exists(folder / qx::kSaveJournal))
        std::abort();
    for (const auto& entry : fs::directory_iterator(root))
        if (entry.path() != folder)
            std::abort();
    return 0;
}
