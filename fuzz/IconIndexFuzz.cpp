// The icon-index reader on any bytes, over a tree whose size the first byte
// picks: it sets icons of existing nodes only, or raises its format error,
// the same on the document's tree as on the plain one.
#include "DocTree.h"
#include "Errors.h"
#include "TreeFiles.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    MemoryTree tree;
    qx::DocTree doc;
    for (int i = 0; i < data[0] % 32; ++i) {
        tree.AppendChild(i % 3 == 0 ? -1 : i - 1, "n");
        doc.AppendChild(i % 3 == 0 ? -1 : i - 1, "n");
    }
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    try {
        ParseIconIndexes(tree, bytes);
    } catch (const qx::FormatError&) {
    }
    try {
        ParseIconIndexes(doc, bytes);
    } catch (const qx::FormatError&) {
    }
    if (FormatIconIndexes(doc) != FormatIconIndexes(tree))
        std::abort();
    return 0;
}
