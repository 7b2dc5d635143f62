// The 24 x 24 icons shared by every tree of the editor, selected by index.
// Loaded once from the installation's "Sys/Api/ImageList/NN.bmp" files.
#pragma once

#include <QIcon>

#include <string>
#include <vector>

class ImageList {
public:
    // Loads 00.bmp, 01.bmp, ... from the folder until one is missing.
    // Returns the number of icons loaded.
    int LoadFolder(const std::string& folder);
    int Count() const { return static_cast<int>(icons_.size()); }
    // An empty icon for indices outside the list (-1 = no icon).
    QIcon Icon(int index) const;

private:
    std::vector<QIcon> icons_;
};

ImageList& SharedImageList();
