#include "ViewLayout.h"

#include <QAction>
#include <QActionGroup>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSplitter>
#include <QVBoxLayout>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include "Camera.h"
#include "ConfigIni.h"
#include "EditorState.h"
#include "Errors.h"
#include "HandlerGuard.h"
#include "NumberText.h"
#include "OrthoViewPane.h"
#include "QtText.h"
#include "Settings.h"

namespace {

// A pane's caption: a double click maximises or restores its pane.
class PaneCaption : public QLabel {
public:
    PaneCaption(const QString& text, std::function<void()> doubleClicked, QWidget* parent)
        : QLabel(text, parent), doubleClicked_(std::move(doubleClicked))
    {
        setContentsMargins(4, 1, 4, 1);
    }

protected:
    void mouseDoubleClickEvent(QMouseEvent*) override { Guarded([this] { doubleClicked_(); }); }

private:
    std::function<void()> doubleClicked_;
};

QWidget* Pane(QWidget* view, QLabel*& caption, const QString& text, std::function<void()> doubleClicked,
              QWidget* parent)
{
    auto* pane = new QWidget(parent);
    auto* column = new QVBoxLayout(pane);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    caption = new PaneCaption(text, std::move(doubleClicked), pane);
    column->addWidget(caption);
    view->setParent(pane);
    column->addWidget(view, 1);
    return pane;
}

// "a b c d" of the split sizes, the rows' then the columns'.
std::string SizesText(const QList<int>& sizes)
{
    std::string text;
    for (int size : sizes)
        text += (text.empty() ? "" : " ") + IntToEditText(size);
    return text;
}

QList<int> SizesOf(const std::string& text)
{
    QList<int> sizes;
    size_t from = 0;
    while (from < text.size()) {
        size_t to = text.find(' ', from);
        if (to == std::string::npos)
            to = text.size();
        try {
            sizes << qx::StrictTextToInt(std::string_view(text).substr(from, to - from));
        } catch (const qx::ConvertError&) {
            return {};
        }
        from = to + 1;
    }
    return sizes;
}

}  // namespace

ViewLayout::ViewLayout(QWidget* scene, QWidget* parent) : QWidget(parent)
{
    setObjectName("ViewLayout");
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    rows_ = new QSplitter(Qt::Vertical, this);
    rows_->setObjectName("ViewRows");
    box->addWidget(rows_);
    for (size_t row = 0; row < 2; ++row) {
        columns_[row] = new QSplitter(Qt::Horizontal, rows_);
        columns_[row]->setObjectName(row == 0 ? "ViewTopRow" : "ViewBottomRow");
        rows_->addWidget(columns_[row]);
    }
    const auto toggle = [this](int pane) { return [this, pane] { ToggleMaximised(pane); }; };
    panes_[0] = Pane(scene, captions_[0], Ui("3D"), toggle(0), columns_[0]);
    columns_[0]->addWidget(panes_[0]);
    const qx::ViewAxis axes[3] = {qx::ViewAxis::Top, qx::ViewAxis::Front, qx::ViewAxis::Side};
    for (int i = 0; i < 3; ++i) {
        OrthoViewPane* view = CreateOrthoViewPane(Editor(), axes[i], nullptr);
        ortho_[static_cast<size_t>(i)] = view;
        QSplitter* column = columns_[i == 0 ? 0 : 1];
        panes_[static_cast<size_t>(i + 1)] = Pane(view, captions_[static_cast<size_t>(i + 1)],
                                                  OrthoViewCaption(axes[i]), toggle(i + 1), column);
        column->addWidget(panes_[static_cast<size_t>(i + 1)]);
    }
    const std::string settings = ReadSettings();
    four_ = IniReadString(settings, "Windows", "Layout").value_or("1") == "4";
    // The four panes alike until the user moves a split.
    QList<int> all{1000, 1000, 1000, 1000, 1000, 1000};
    if (const auto sizes = IniReadString(settings, "Windows", "Splits"); sizes && SizesOf(*sizes).size() == 6)
        all = SizesOf(*sizes);
    rows_->setSizes(all.mid(0, 2));
    columns_[0]->setSizes(all.mid(2, 2));
    columns_[1]->setSizes(all.mid(4, 2));
    Show();
}

ViewLayout::~ViewLayout() { Save(); }

void ViewLayout::SetFourPanes(bool four)
{
    if (four == four_ && maximised_ < 0)
        return;
    four_ = four;
    maximised_ = -1;
    Show();
    Save();
}

void ViewLayout::ToggleMaximised(int pane)
{
    if (!four_ || pane < 0 || pane > 3)
        return;
    maximised_ = maximised_ == pane ? -1 : pane;
    Show();
}

int ViewLayout::PaneAt(const QPoint& global) const
{
    for (size_t i = 0; i < panes_.size(); ++i)
        if (panes_[i]->isVisible() && QRect(panes_[i]->mapToGlobal(QPoint(0, 0)), panes_[i]->size()).contains(global))
            return static_cast<int>(i);
    return -1;
}

void ViewLayout::Show()
{
    // One pane: the 3D view without a caption, as the window always was.
    for (size_t i = 0; i < panes_.size(); ++i) {
        const bool shown = i == 0 ? (!four_ || maximised_ < 0 || maximised_ == 0)
                                  : (four_ && (maximised_ < 0 || maximised_ == static_cast<int>(i)));
        panes_[i]->setVisible(shown);
        captions_[i]->setVisible(four_);
    }
    columns_[1]->setVisible(four_ && (maximised_ < 0 || maximised_ >= 2));
    columns_[0]->setVisible(!four_ || maximised_ < 0 || maximised_ <= 1);
}

void ViewLayout::Save() const
{
    QList<int> all = rows_->sizes();
    all << columns_[0]->sizes() << columns_[1]->sizes();
    const std::string layout = four_ ? "4" : "1";
    const std::string splits = SizesText(all);
    ChangeSettings([&](std::string_view content) {
        return IniWriteString(IniWriteString(content, "Windows", "Layout", layout), "Windows", "Splits", splits);
    });
}

void ViewLayout::ShowCamera(const TCamera& camera)
{
    if (!four_)
        return;
    const double now[6] = {camera.Eye.X, camera.Eye.Y, camera.Eye.Z, camera.Target.X - camera.Eye.X,
                           camera.Target.Y - camera.Eye.Y, camera.Target.Z - camera.Eye.Z};
    if (std::memcmp(now, cameraShown_, sizeof now) == 0)
        return;
    std::memcpy(cameraShown_, now, sizeof now);
    for (OrthoViewPane* pane : ortho_)
        pane->ShowCamera(now, now + 3);
}

void ViewLayout::AddMenuItems(QMenu& menu)
{
    auto* group = new QActionGroup(&menu);
    QAction* one = menu.addAction(Ui("Одно окно"));
    one->setObjectName("OneView1");
    QAction* four = menu.addAction(Ui("Четыре окна"));
    four->setObjectName("FourViews1");
    for (QAction* action : {one, four}) {
        action->setCheckable(true);
        group->addAction(action);
    }
    (four_ ? four : one)->setChecked(true);
    connect(one, &QAction::triggered, this, [this] { Guarded([this] { SetFourPanes(false); }); });
    connect(four, &QAction::triggered, this, [this] { Guarded([this] { SetFourPanes(true); }); });
    menu.addSeparator();
    QAction* maximise = menu.addAction(Ui("Развернуть окно / вернуть"));
    maximise->setObjectName("MaximiseView1");
    maximise->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Space));
    connect(maximise, &QAction::triggered, this, [this] {
        Guarded([this] {
            const int under = PaneAt(QCursor::pos());
            ToggleMaximised(maximised_ >= 0 ? maximised_ : (under >= 0 ? under : 0));
        });
    });
    QAction* centre = menu.addAction(Ui("Показать выбранное"));
    centre->setObjectName("CentreView1");
    centre->setShortcut(QKeySequence(Qt::Key_Home));
    connect(centre, &QAction::triggered, this, [this] {
        Guarded([this] {
            const int under = PaneAt(QCursor::pos());
            if (under >= 1)
                ortho_[static_cast<size_t>(under - 1)]->CentreOnSelection();
        });
    });
    QAction* centreAll = menu.addAction(Ui("Показать выбранное во всех окнах"));
    centreAll->setObjectName("CentreViews1");
    connect(centreAll, &QAction::triggered, this, [this] {
        Guarded([this] {
            for (OrthoViewPane* pane : ortho_)
                pane->CentreOnSelection();
        });
    });
}
