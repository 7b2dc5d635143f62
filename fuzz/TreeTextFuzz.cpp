// The tree text reader on any bytes: it either reads a tree or raises its
// format error, and whatever it read formats back to text that reads to the
// same tree.  The document's tree reads the same tree as the plain one, and
// names each node's place and display index alike.
#include "DocTree.h"
#include "Errors.h"
#include "TreeFiles.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

bool SameTree(const MemoryTree& a, const MemoryTree& b)
{
    if (a.nodes.size() != b.nodes.size())
        return false;
    for (size_t i = 0; i < a.nodes.size(); ++i)
        if (a.nodes[i].text != b.nodes[i].text || a.nodes[i].depth != b.nodes[i].depth)
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemoryTree tree;
    try {
        ParseTreeText(tree, std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const qx::FormatError&) {
    }
    MemoryTree again;
    ParseTreeText(again, FormatTreeText(tree));
    if (!SameTree(tree, again))
        std::abort();
    qx::DocTree doc;
    try {
        ParseTreeText(doc, std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const qx::FormatError&) {
    }
    if (FormatTreeText(doc) != FormatTreeText(tree))
        std::abort();
    for (int i = 0; i < doc.NodeCount(); ++i)
        if (doc.IndexOf(doc.PathOf(i)) != i)
            std::abort();
    return 0;
}
