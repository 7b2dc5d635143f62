#include "ImageList.h"

#include <QFileInfo>
#include <QImage>
#include <QPixmap>

#include <cstdio>

int ImageList::LoadFolder(const std::string& folder)
{
    icons_.clear();
    for (int i = 0; i < 100; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "%02d.bmp", i);
        QString path = QString::fromStdString(folder) + "/" + name;
        if (!QFileInfo::exists(path))
            break;
        QImage image(path);
        if (image.isNull())
            break;
        icons_.emplace_back(QPixmap::fromImage(image.scaled(24, 24)));
    }
    return Count();
}

QIcon ImageList::Icon(int index) const
{
    if (index < 0 || index >= Count())
        return QIcon();
    return icons_[static_cast<size_t>(index)];
}

ImageList& SharedImageList()
{
    static ImageList list;
    return list;
}
