// The four trees the editor reads at start-up from Sys/Api, each as a tree
// text file and its icon-index file.  Both files of a tree come from one
// table, so their node counts cannot drift apart.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qx::data {

struct StartupNode {
    int depth;
    std::string_view text;  // UTF-8 here; written as code page 1251
    int icon;               // image list index, also the selected icon
};

struct StartupTree {
    std::string listFile;  // relative to the installation folder
    std::string iconFile;
    std::vector<StartupNode> nodes;
};

const std::vector<StartupTree>& StartupTrees();

// The two files' bytes, through the editor's own tree and icon formats.
std::string TreeListBytes(const StartupTree& tree);
std::string IconFileBytes(const StartupTree& tree);

}  // namespace qx::data
