// QTreeWidget seen through TreeAccess, for a tree that lives in its widget
// (the part tree); the document's trees are data (DocTree) that DocTreeView
// shows.  Each item keeps its 1251 text and its icon indexes beside the
// displayed QString; the picture comes from the shared image list.
#pragma once

#include <QTreeWidget>

#include <string>
#include <vector>

#include "TreeAccess.h"

// Item data roles.
inline constexpr int NodeTextRole = Qt::UserRole;          // QByteArray, 1251
inline constexpr int NodeIconRole = Qt::UserRole + 1;      // int
inline constexpr int NodeSelectedIconRole = Qt::UserRole + 2;

std::string NodeText(const QTreeWidgetItem* item);
void SetNodeText(QTreeWidgetItem* item, const std::string& cp1251);
int NodeIcon(const QTreeWidgetItem* item);
void SetNodeIcons(QTreeWidgetItem* item, int icon, int selectedIcon);
// A new node with text and no icon (-1), appended under parent (null: top level).
QTreeWidgetItem* AddNode(QTreeWidget* tree, QTreeWidgetItem* parent, const std::string& cp1251);
// All items in display order (each item, then its children).
std::vector<QTreeWidgetItem*> ItemsInDisplayOrder(const QTreeWidget* tree);

class TreeWidgetAccess : public TreeAccess {
public:
    explicit TreeWidgetAccess(QTreeWidget* tree);
    int NodeCount() const override;
    int Depth(int index) const override;
    std::string Text(int index) const override;
    int Icon(int index) const override;
    int SelectedIcon(int index) const override;
    void SetIcons(int index, int icon, int selectedIcon) override;
    int AppendChild(int parentIndex, const std::string& text) override;
    void Clear() override;

private:
    QTreeWidget* tree_;
    // Display order cache; appends keep it current, Clear resets it.
    std::vector<QTreeWidgetItem*> items_;
};

// The tree files on a widget (names as in TreeFiles.h).
void ReadTreeText(QTreeWidget* tree, const std::string& fileName);
void WriteTreeText(QTreeWidget* tree, const std::string& fileName);
void SaveIconIndexes(QTreeWidget* tree, const std::string& fileName);
void LoadIconIndexes(QTreeWidget* tree, const std::string& fileName);
