#include "ManagerProject.h"

#include <QPushButton>
#include <QTreeWidget>

#include "QtText.h"

TFPManager* FPManager = nullptr;

TFPManager::TFPManager(QWidget* parent) : ToolWindow("FPManager", "Менеджер проектов", 564, 336, parent)
{
    FPManager = this;
    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName("TreeView1");
    TreeView1->setHeaderHidden(true);
    TreeView1->setIndentation(19);
    TreeView1->setGeometry(8, 64, 548, 232);
    struct ButtonLayout {
        const char* name;
        const char* caption;
        int x, y, w, h;
    };
    const ButtonLayout buttons[] = {
        {"Button1", "Создать новую игру", 8, 8, 258, 25},
        {"Button2", "Удалить игру", 272, 8, 284, 25},
        {"Button3", "Открыть выбранную игру для ее редактирования", 8, 33, 548, 25},
        {"Button4", "Это мой первый запуск, глянуть обучающее видео", 8, 302, 548, 25},
    };
    for (const ButtonLayout& b : buttons) {
        auto* button = new QPushButton(Ui(b.caption), this);
        button->setObjectName(b.name);
        button->setGeometry(b.x, b.y, b.w, b.h);
    }
}
