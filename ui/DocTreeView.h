// A QTreeWidget that shows one of the document's trees.  Show() brings the
// widget up to the tree: nodes the tree still shares with what was shown
// last are left alone, changed ones are updated in place and the rest
// added or taken, so the user's scroll position stays and a change of one
// node costs about its path.  The user's choice of a node and opening or
// closing one go back into the tree (then UserChanged runs), so the tree
// always knows the current node.
#pragma once

#include <QObject>

#include <functional>

#include "DocTree.h"

class QTreeWidget;
class QTreeWidgetItem;

class DocTreeView : public QObject {
public:
    // The view belongs to the widget.
    DocTreeView(QTreeWidget* widget, qx::DocTree* tree);

    void Show();
    // Shows another tree (the texture window's own one, or the document's).
    void SetTree(qx::DocTree* tree);
    qx::DocTree& Tree() const { return *tree_; }
    QTreeWidget* Widget() const { return widget_; }
    // The widget's item of a node and back; null and -1 for none.
    QTreeWidgetItem* ItemOf(int index) const;
    int IndexOf(const QTreeWidgetItem* item) const;

    // Runs after the user changed the current node or opened or closed one;
    // by default the view shows the tree again.
    std::function<void()> UserChanged;

private:
    struct Shown {
        qx::DocTree::NodePtr node;
        QTreeWidgetItem* item = nullptr;
        std::vector<Shown> children;
    };
    void Update(QTreeWidgetItem* parent, std::vector<Shown>& shown, const std::vector<qx::DocTree::NodePtr>& nodes);
    void Refresh(Shown& shown, const qx::DocTree::NodePtr& node);
    Shown Make(const qx::DocTree::NodePtr& node);
    void Open(const Shown& shown);
    void ShowCurrent();
    void SelectionChanged();
    void OpenedOrClosed(QTreeWidgetItem* item);

    QTreeWidget* widget_;
    qx::DocTree* tree_;
    std::vector<Shown> top_;
    bool applying_ = false;
};
