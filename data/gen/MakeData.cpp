// qx_make_data <installation folder>: lays out the editor's start-up data
// (Sys/Api, Sys/Saves/textures, textures).  Same bytes on every run; files
// that already hold them are left untouched.
#include "Installation.h"

#include <cstdio>
#include <exception>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: qx_make_data <installation folder>\n");
        return 2;
    }
    try {
        const std::filesystem::path root(argv[1]);
        int written = 0, total = 0;
        for (const auto& file : qx::data::InstallationFiles()) {
            ++total;
            if (qx::data::WriteIfChanged(root, file))
                ++written;
        }
        std::printf("qx_make_data: %d of %d files written to %s\n", written, total, root.string().c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qx_make_data: %s\n", e.what());
        return 1;
    }
}
