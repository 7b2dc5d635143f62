// The texture window: browse the texture library by category, preview a
// texture, add picture files to the library, and pick the texture that new
// primitives receive (SelectedTexture, a registry index).
//
// The tree is a list of names only; what is loaded is the registry's
// business, and the two meet by name (FindTexture).  The window shows and
// edits a tree of data (its own, or the document's once the editor hands
// it over); TreeView1 only shows it.  Library files live in
// the open project's "textures\" folder.  Handlers run with the scene's GL
// context current (they register textures).
#pragma once

#include <QImage>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "DocTree.h"
#include "ToolWindow.h"
#include "imageio/PixelBlock.h"

class DocTreeView;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QTreeWidget;

class TFTexture : public ToolWindow {
public:
    explicit TFTexture(QWidget* parent = nullptr);
    ~TFTexture() override;

    QLabel* Image1 = nullptr;
    QPushButton* Button4 = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QPushButton* Button1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    int32_t SelectedTexture = 0;

    // The executable's folder with a trailing separator, in the file
    // system's encoding (UTF-8); tests point it elsewhere.
    std::string ProgramFolder;
    // The open project's folder (same encoding, trailing separator); empty:
    // ProgramFolder + "Sys/Saves/".
    std::string ProjectFolder;
    // The open-picture dialog (OPD); returns the chosen file or an empty
    // text.  Tests replace it.
    std::function<QString()> ChooseFile;
    // Runs an edit of the library (a texture or category added or removed)
    // so the editor can undo it; null runs it as it is.
    std::function<void(const char* utf8Label, const std::function<void()>& change)> RecordEdit;

    // The tree the window shows and edits from now on; `changed` runs after
    // every change of it (the window's own edits and the user's choice) and
    // must see that the window shows it again (ShowTree).
    void UseTree(qx::DocTree* tree, std::function<void()> changed);
    qx::DocTree& Tree() const;
    DocTreeView& View() const { return *view_; }
    // TreeView1 shows the tree as it is now.
    void ShowTree();

    // Registers a picture (AddTexture), selects it, previews it and lists it
    // in the tree (its node in *added).  Returns the registry index.
    int32_t AddTextureEntry(const std::string& path, bool keyed, int* added = nullptr);
    // Shows a BMP, PNG, GIF or JPEG file opaque; other endings keep the
    // preview.  Throws qx::InOutError when the file cannot be shown.
    void ShowPreview(const std::string& path);
    // Leaves out the colour of the picture's bottom-left pixel, as the
    // colour key does for the texture.
    void SetPreviewTransparent(bool transparent);
    // The picture as shown (before scaling to the preview box); null when
    // nothing is shown.
    const QImage& PreviewPicture() const { return shown_; }
    // The library's file of a registry name (1251) on the file system.
    std::string LibraryPath(const std::string& name) const;
    // Where the library's pictures are, with its trailing "/".
    std::string LibraryFolder() const;

    void TreeView1Click();
    void Button1Click();
    void Button4Click();
    void N1Click();
    void N2Click() { Button1Click(); }
    void N3Click();
    void N4Click();

private:
    void TreeChanged();
    void ShowPicture();
    void Edit(const char* utf8Label, const std::function<void()>& change);
    // Copies a picked file into the library through a temporary and a
    // rename.  Asks before replacing a different picture of the same name;
    // false (with a message when something failed) leaves the library as it was.
    bool CopyIntoLibrary(const std::string& source, const std::string& target, const std::string& name);

    qx::DocTree ownTree_;
    DocTreeView* view_ = nullptr;
    std::function<void()> treeChanged_;
    std::optional<qx::PixelBlock> preview_;
    QImage shown_;
    bool transparent_ = false;
};

extern TFTexture* FTexture;

namespace qx {

// The open dialog's filter in Qt's form: each "description|patterns" pair of
// the design's filter becomes "description (patterns)".
QString TextureFileFilter();

}  // namespace qx
