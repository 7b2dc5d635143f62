// Writes the benchmarks' large 3DS model to a file, for trying it elsewhere:
//   bench/write_large_3ds OUT.3ds
#include <cstdio>

#include "Errors.h"
#include "LargeModel3ds.h"
#include "Paths.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_large_3ds OUT.3ds\n");
        return 2;
    }
    try {
        WriteWholeFile(argv[1], MakeLarge3ds());
    } catch (const qx::Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
