// The texture window: browse the texture library by category, preview a
// texture, add picture files to the library, and pick the texture that new
// primitives receive (the document's SelectedTexture, a registry index).
//
// The tree is a list of names only; what is loaded is the table's
// business, and the two meet by name (FindTexture).  The window shows a
// document (its own, or the editor's once handed over) and edits it only
// through the document's texture edits; TreeView1 only shows its tree.  It
// is also the view that uploads the pictures the document lists: told
// TexturesChanged, it loads every entry awaiting its upload from the
// library.  Library files live in the open project's "textures\" folder.
// Handlers and the document's notifications run with the scene's GL
// context current (they upload textures).
#pragma once

#include <QImage>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "Document.h"
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

    QLabel* Image1 = nullptr;
    QPushButton* Button4 = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QPushButton* Button1 = nullptr;
    QMenu* PopupMenu1 = nullptr;

    // The executable's folder with a trailing separator, in the file
    // system's encoding (UTF-8); tests point it elsewhere.
    std::string ProgramFolder;
    // The open project's folder (same encoding, trailing separator); empty:
    // ProgramFolder + "Sys/Saves/".
    std::string ProjectFolder;
    // The open-picture dialog (OPD); returns the chosen file or an empty
    // text.  Tests replace it.
    std::function<QString()> ChooseFile;

    // The document the window shows and edits from now on.
    void UseDocument(Document& doc);
    Document& Doc() const { return *doc_; }
    qx::DocTree& Tree() const;
    DocTreeView& View() const { return *view_; }
    // TreeView1 shows the tree as it is now.
    void ShowTree();

    // Registers a picture at once (AddTexture, no step: the editor's own
    // pictures at start-up), chooses it, previews it and lists it in the
    // tree.  Returns the registry index.
    int32_t AddTextureEntry(const std::string& path, bool keyed);
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
    void DocumentChanged(uint32_t changes);
    // Loads the entries awaiting their upload.
    void UploadAwaiting();
    void ShowPicture();
    // The preview of the chosen texture; an unreadable one shows nothing.
    void PreviewChosen();
    // Copies a picked file into the library through a temporary and a
    // rename.  Asks before replacing a different picture of the same name;
    // false (with a message when something failed) leaves the library as it was.
    bool CopyIntoLibrary(const std::string& source, const std::string& target, const std::string& name);

    Document ownDocument_;
    Document* doc_ = nullptr;
    qx::Observation observation_;
    DocTreeView* view_ = nullptr;
    std::optional<qx::PixelBlock> preview_;
    QImage shown_;
    bool transparent_ = false;
};


namespace qx {

// The open dialog's filter in Qt's form: each "description|patterns" pair of
// the design's filter becomes "description (patterns)".
QString TextureFileFilter();

}  // namespace qx
