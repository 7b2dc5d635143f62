// The main window: its controls with their design names and the small
// handlers of the camera mode, height bars, lighting switch and activation.
// It calls no command and no view of its own: the wiring object connects its
// controls to the commands (the Install functions) and runs the start-up
// sequence when it is first shown.
#pragma once

#include <QMainWindow>

#include <functional>
#include <string>

#include "FrameCache.h"
#include "ProjectWindow.h"

class DocTreeView;
class FrameTimer;
class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QRadioButton;
class QSlider;
class QSplitter;
class ViewLayout;
class QTimer;
class QTreeWidget;
class QWidget;
class SceneSurface;

class TFVantor : public QMainWindow, public ProjectWindow {
    Q_OBJECT
public:
    explicit TFVantor(QWidget* parent = nullptr);
    ~TFVantor() override;

    // While a project loads it takes no input and draws no frame; its
    // caption names the open project.
    std::unique_ptr<LoadSession> HoldForLoad() override;
    void ShowProjectCaption(const QString& caption) override;

    // Top panel.
    QWidget* Panel3 = nullptr;
    QRadioButton* RadioButton4 = nullptr;
    QRadioButton* RadioButton5 = nullptr;
    QListWidget* Ch1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    // Left panel and track bars.
    QWidget* Panel1 = nullptr;
    QTreeWidget* MapList = nullptr;
    QTreeWidget* ObjectList = nullptr;
    // They show the document's map and object trees.
    DocTreeView* MapTreeView = nullptr;
    DocTreeView* ObjectTreeView = nullptr;
    QSlider* CamVerhBar = nullptr;
    QSlider* CamZoom = nullptr;
    // The OpenGL view.
    // The caption as the design words it, before the unsaved mark; the
    // undo and redo actions whose texts name the next step.
    QString DesignCaption;
    QAction* UndoAction = nullptr;
    QAction* RedoAction = nullptr;
    QWidget* Scene = nullptr;
    // The 3D view's pane and the 2D views beside it.
    ViewLayout* Views = nullptr;
    SceneSurface* SceneWindow = nullptr;
    // Object editing panels.
    QWidget* ModelList = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QPushButton* Button3 = nullptr;
    QGroupBox* ModelAdd = nullptr;
    QPushButton* Button4 = nullptr;   // "Мышка"
    QPushButton* Button19 = nullptr;  // "Коробка"
    QPushButton* Button17 = nullptr;  // "Пол"
    QPushButton* Button18 = nullptr;  // "Стена"
    QPushButton* Button20 = nullptr;  // "Сфера"
    QPushButton* Button5 = nullptr;   // "Торус"
    QPushButton* Button27 = nullptr;  // "+ 3DS"
    QPushButton* Button28 = nullptr;  // "+ Blender"
    QTreeWidget* OBJList = nullptr;
    QWidget* ModelTimeLine = nullptr;
    QSlider* line = nullptr;
    // Status bar panels 0..3.
    QLabel* StatusPanels[4] = {};
    // A fifth panel after the design's four: the editor's messages to the
    // user that need no box ("Под курсором ничего нет").
    QLabel* StatusMessage = nullptr;
    // Menus.
    QMenu* PopupMenu1 = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QMenu* PopupMenu3 = nullptr;
    FrameTimer* RenderTimer = nullptr;
    QTimer* FreeMemTimer = nullptr;

    // Buffers of the frame loop.
    FrameCache Frame;

    // The start-up sequence ran to its end (false when a step failed).
    bool StartupComplete() const { return startupComplete_; }
    void MarkStartupComplete() { startupComplete_ = true; }
    // Asked before the window closes (unsaved changes); true lets it close.
    std::function<bool()> MayClose;
    // The check-list item of a display option, found by its text.
    QListWidgetItem* DisplayOption(const char* utf8Text) const;
    bool DisplayOptionChecked(const char* utf8Text) const;

    // The caption: the design's text, " *" while the project has unsaved
    // changes; written only when it differs.
    void ShowCaption();

    void SetStatusText(int panel, const std::string& cp1251);
    void ShowStatusMessage(const std::string& cp1251);
    std::string StatusText(int panel) const;

    // Handlers under their design names.
    void FormShow();
    void FormActivate();
    void FormDeactivate();
    void FreeMemTimerTimer();
    void RadioButton4Click();
    void RadioButton5Click();
    void CamVerhBarChange();
    void CamZoomChange();
    void CheckBox1Click();

signals:
    // Shown for the first time: the start-up sequence runs.
    void firstShown();
    // The main window closed: the program ends (tool windows do not keep it).
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildTopPanel(QWidget* parent);
    // The trees and the two height bars, the body's left side.
    void BuildLeftSide(QSplitter* body);
    void BuildLeftPanel(QWidget* parent);
    void BuildModelPanels(QWidget* parent);
    void BuildMenus();
    void BuildStatusBar();
    void AskForFrame();

    bool shown_ = false;
    bool startupComplete_ = false;
};

