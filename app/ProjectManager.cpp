#include "ProjectManager.h"

#include <QPushButton>
#include <QTreeWidget>

#include "EditorState.h"
#include "HandlerGuard.h"
#include "ProjectCommands.h"
#include "QtText.h"
#include "UserGuide.h"
#include "Vantor.h"
#include "Wiring.h"

TFPManager::TFPManager(QWidget* parent) : ToolWindow("FPManager", "Менеджер проектов", 564, 336, parent)
{
    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName("TreeView1");
    TreeView1->setHeaderHidden(true);
    TreeView1->setIndentation(19);
    TreeView1->setGeometry(8, 64, 548, 232);
    struct ButtonLayout {
        const char* name;
        const char* caption;
        int x, y, w, h;
        void (TFPManager::*click)();
    };
    const ButtonLayout buttons[] = {
        {"Button1", "Создать новую игру", 8, 8, 258, 25, &TFPManager::Button1Click},
        {"Button2", "Удалить игру", 272, 8, 284, 25, &TFPManager::Button2Click},
        {"Button3", "Открыть выбранную игру для ее редактирования", 8, 33, 548, 25, &TFPManager::Button3Click},
        {"Button4", "Это мой первый запуск, глянуть обучающее видео", 8, 302, 548, 25, &TFPManager::Button4Click},
    };
    for (const ButtonLayout& b : buttons) {
        auto* button = new QPushButton(Ui(b.caption), this);
        button->setObjectName(b.name);
        button->setGeometry(b.x, b.y, b.w, b.h);
        if (b.click)
            connect(button, &QPushButton::clicked, this, [this, click = b.click] { Guarded([&] { (this->*click)(); }); });
    }
    connect(TreeView1, &QTreeWidget::itemDoubleClicked, this, [this] { Guarded([this] { Button3Click(); }); });
}

void TFPManager::showEvent(QShowEvent* event)
{
    Refresh();
    ToolWindow::showEvent(event);
}

void TFPManager::Refresh()
{
    TreeView1->clear();
    const std::string open = OpenProjectFolder();
    for (const std::string& folder : RecentProjects()) {
        auto* item = new QTreeWidgetItem(TreeView1, QStringList{QString::fromStdString(folder)});
        if (folder + "/" == open) {
            QFont bold = item->font(0);
            bold.setBold(true);
            item->setFont(0, bold);
        }
    }
    if (TreeView1->topLevelItemCount() > 0)
        TreeView1->setCurrentItem(TreeView1->topLevelItem(0));
}

std::string TFPManager::SelectedProject() const
{
    const QTreeWidgetItem* item = TreeView1->currentItem();
    return item ? item->text(0).toStdString() : std::string();
}

void TFPManager::Button1Click()
{
    const QString chosen = FolderChooser()(Ui("Папка новой игры"), FolderUse::New);
    if (!chosen.isEmpty() && MainWindow())
        CreateProject(Editor(), *MainWindow(), chosen.toStdString());
}

void TFPManager::Button2Click()
{
    const std::string folder = SelectedProject();
    if (!folder.empty())
        ForgetRecentProject(folder);
}

void TFPManager::Button4Click() { ShowUserGuide(ProgramFolder(), guide_); }

void TFPManager::Button3Click()
{
    const std::string folder = SelectedProject();
    if (!folder.empty() && MainWindow())
        OpenRecentProject(Editor(), *MainWindow(), folder);
}
