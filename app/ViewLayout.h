// The panes of the main window's view: the 3D view alone ("Одно окно", the
// window as it always was) or beside the top, front and side views ("Четыре
// окна"), each captioned.  A pane is maximised and restored with Ctrl+Space
// (the pane under the mouse) or a double click on its caption.  The layout
// and the split sizes are kept in the settings.
#pragma once

#include <QWidget>

#include <array>

class QLabel;
class QMenu;
class QSplitter;
class OrthoViewPane;
class TCamera;

class ViewLayout : public QWidget {
public:
    // Takes the 3D view's container `scene` into its first pane.
    ViewLayout(QWidget* scene, QWidget* parent);
    ~ViewLayout() override;

    bool FourPanes() const { return four_; }
    void SetFourPanes(bool four);
    // Maximises the pane (0 the 3D view, 1 top, 2 front, 3 side), or
    // restores all when it is maximised already.
    void ToggleMaximised(int pane);
    // The pane under the screen point; -1 when none.
    int PaneAt(const QPoint& global) const;
    int Maximised() const { return maximised_; }
    OrthoViewPane* OrthoPane(int axis) const { return ortho_[static_cast<size_t>(axis)]; }
    // The 2D views show where the 3D view looks from.
    void ShowCamera(const TCamera& camera);
    // The "Вид" menu's items.
    void AddMenuItems(QMenu& menu);

private:
    void Show();
    void Save() const;

    QSplitter* rows_ = nullptr;
    std::array<QSplitter*, 2> columns_{};
    std::array<QWidget*, 4> panes_{};
    std::array<QLabel*, 4> captions_{};
    std::array<OrthoViewPane*, 3> ortho_{};
    bool four_ = false;
    int maximised_ = -1;
    double cameraShown_[6] = {};
};
