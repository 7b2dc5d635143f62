// The editor's windows in a test installation folder, started as the
// program does, with messages recorded.  The folder is also the executable's
// folder, so the project and its autosave live in it.
#pragma once

#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <memory>

#include "AskObjectName.h"
#include "DocTreeView.h"
#include "EditorState.h"
#include "EditorWindows.h"
#include "FrameTimer.h"
#include "Messages.h"
#include "EditControls.h"
#include "PartTree.h"
#include "Placing.h"
#include "SceneMouse.h"
#include "ProgramFolder.h"
#include "TestInstallation.h"
#include "TestSupport.h"
#include "Text1251.h"
#include "Textures.h"
#include "TreeWidgetAccess.h"
#include "Vantor.h"

namespace apptest {

class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteStartupFiles(dir_.path());
        cwd_ = std::make_unique<qxtest::ScopedCurrentDir>(dir_.path());
        StartEditor();
    }
    void TearDown() override
    {
        ObjectNameHooks().InputText = nullptr;
        windows_.reset();
        qx::ExecutableFolderOverride().clear();
        cwd_.reset();
    }
    // A fresh editor, as after a restart.
    void StartEditor()
    {
        windows_.reset();
        ResetTextures();
        qx::ExecutableFolderOverride() = dir_.path().string() + "/";
        windows_ = std::make_unique<EditorWindows>();
        w()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w()));
        ASSERT_TRUE(w()->StartupComplete());
    }
    TFVantor* w() const { return windows_->vantor.get(); }
    QTreeWidgetItem* Node(QTreeWidget* tree, const char* utf8Text) const
    {
        return NodeAtAbsoluteIndex(tree, FindNodeByText(Cp(utf8Text), tree));
    }
    // A last top-level node of the document's object tree, as the tree
    // shows it.
    QTreeWidgetItem* AddObjectNode(const std::string& cp1251) const
    {
        const int index = Editor().ObjectTree.AppendChild(-1, cp1251);
        Editor().Events.Notify(qx::ObjectTreeChanged);
        return w()->ObjectTreeView->ItemOf(index);
    }
    static void Select(QTreeWidget* tree, QTreeWidgetItem* item)
    {
        tree->clearSelection();
        item->setSelected(true);
    }

    qxtest::TempDir dir_;
    std::unique_ptr<qxtest::ScopedCurrentDir> cwd_;
    std::unique_ptr<EditorWindows> windows_;
    qx::RecordingMessageSink messages_;
    qx::ScopedMessageSink sink_{messages_};
};

}  // namespace apptest
