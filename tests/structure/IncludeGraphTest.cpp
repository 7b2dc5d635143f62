// The source tree's shape: headers are included by bare name, so every name
// must be one file; no header reaches itself through its includes; the
// folders include one another one way only, so each layer builds on the
// ones below it and never back up; and windows live in the window folders,
// not beside the data.
#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct SourceTree {
    std::map<std::string, std::vector<fs::path>> byName;  // file name -> files
    std::map<fs::path, std::vector<std::string>> includes;  // file -> quoted names

    SourceTree()
    {
        const fs::path root = QX_SOURCE_DIR;
        const std::set<std::string> outside = {"build", "tests", "bench", "fuzz", ".git", ".ci"};
        const std::regex include(R"re(^\s*#\s*include\s*"([^"]+)")re");
        for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
            const fs::path relative = fs::relative(it->path(), root);
            if (it->is_directory() && outside.count(relative.begin()->string())) {
                it.disable_recursion_pending();
                continue;
            }
            const std::string ext = it->path().extension().string();
            if (!it->is_regular_file() || (ext != ".h" && ext != ".cpp"))
                continue;
            byName[relative.filename().string()].push_back(relative);
            includes[relative];
            std::ifstream in(it->path());
            std::string line;
            std::smatch m;
            while (std::getline(in, line))
                if (std::regex_search(line, m, include))
                    includes[relative].push_back(fs::path(m[1].str()).filename().string());
        }
    }

    // The file a quoted include names, or empty for one outside the tree.
    fs::path Resolve(const std::string& name) const
    {
        const auto found = byName.find(name);
        return found == byName.end() || found->second.size() != 1 ? fs::path() : found->second.front();
    }
};

const SourceTree& Tree()
{
    static const SourceTree tree;
    return tree;
}

// Depth-first walk; returns a cycle as the files along it, or nothing.
template <class Node, class Next>
std::vector<Node> FindCycle(const std::set<Node>& nodes, Next next)
{
    std::map<Node, int> state;  // 1 on the path, 2 done
    std::vector<Node> path, cycle;
    std::function<bool(const Node&)> visit = [&](const Node& node) {
        state[node] = 1;
        path.push_back(node);
        for (const Node& to : next(node)) {
            if (state[to] == 1) {
                cycle.assign(std::find(path.begin(), path.end(), to), path.end());
                cycle.push_back(to);
                return true;
            }
            if (state[to] == 0 && visit(to))
                return true;
        }
        path.pop_back();
        state[node] = 2;
        return false;
    };
    for (const Node& node : nodes)
        if (state[node] == 0 && visit(node))
            return cycle;
    return {};
}

template <class Node>
std::string Joined(const std::vector<Node>& nodes)
{
    std::string text;
    for (const Node& n : nodes)
        text += (text.empty() ? "" : " -> ") + fs::path(n).string();
    return text;
}

}  // namespace

TEST(IncludeGraphTest, EveryHeaderNameIsOneFileAndNoHeaderIncludesItself)
{
    const SourceTree& tree = Tree();
    ASSERT_GT(tree.byName.size(), 100u) << "the source tree was not found at " << QX_SOURCE_DIR;
    std::set<fs::path> headers;
    for (const auto& [name, files] : tree.byName) {
        if (name.ends_with(".h")) {
            EXPECT_EQ(files.size(), 1u) << name << " is " << files.size() << " files; a bare include is ambiguous";
        }
        for (const fs::path& file : files)
            if (name.ends_with(".h"))
                headers.insert(file);
    }
    const auto cycle = FindCycle(headers, [&](const fs::path& header) {
        std::vector<fs::path> next;
        for (const std::string& name : tree.includes.at(header))
            if (fs::path to = tree.Resolve(name); !to.empty() && to != header)
                next.push_back(to);
        return next;
    });
    EXPECT_TRUE(cycle.empty()) << "include cycle: " << Joined(cycle);
}

TEST(IncludeGraphTest, FoldersIncludeOneAnotherOneWayOnly)
{
    const SourceTree& tree = Tree();
    std::map<fs::path, std::set<fs::path>> uses;
    std::set<fs::path> folders;
    for (const auto& [file, names] : tree.includes) {
        folders.insert(file.parent_path());
        for (const std::string& name : names)
            if (fs::path to = tree.Resolve(name); !to.empty() && to.parent_path() != file.parent_path())
                uses[file.parent_path()].insert(to.parent_path());
    }
    const auto cycle = FindCycle(folders, [&](const fs::path& folder) {
        const auto found = uses.find(folder);
        return found == uses.end() ? std::vector<fs::path>() : std::vector<fs::path>(found->second.begin(), found->second.end());
    });
    EXPECT_TRUE(cycle.empty()) << "folders that include each other: " << Joined(cycle);
    for (const auto& [folder, used] : uses)
        if (*folder.begin() != "app") {
            EXPECT_FALSE(used.count("app")) << folder << " includes a header of app/";
        }
}

TEST(IncludeGraphTest, WindowsLiveUnderUiOrApp)
{
    const std::regex widget(R"re(\b(QWidget|QDialog|QMainWindow|ToolWindow)\b)re");
    const fs::path root = QX_SOURCE_DIR;
    for (const auto& [file, names] : Tree().includes) {
        const std::string top = file.begin()->string();
        if (top == "ui" || top == "app")
            continue;
        std::ifstream in(root / file);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_FALSE(std::regex_search(text, widget)) << file << " holds a window; windows go under ui/ or app/";
    }
}
