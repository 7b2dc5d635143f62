// The icon-index reader on any bytes, over a tree whose size the first byte
// picks: it sets icons of existing nodes only, or raises its format error.
#include "Errors.h"
#include "TreeFiles.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    MemoryTree tree;
    for (int i = 0; i < data[0] % 32; ++i)
        tree.AppendChild(i % 3 == 0 ? -1 : i - 1, "n");
    try {
        ParseIconIndexes(tree, std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    } catch (const qx::FormatError&) {
    }
    FormatIconIndexes(tree);
    return 0;
}
