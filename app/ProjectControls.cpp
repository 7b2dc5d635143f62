#include "ProjectControls.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

#include <functional>

#include "EditorState.h"
#include "HandlerGuard.h"
#include "ProjectManager.h"
#include "PlayFromCamera.h"
#include "ProjectCommands.h"
#include "QtText.h"
#include "Vantor.h"
#include "Wiring.h"

void InstallProjectCommands(TFVantor& window)
{
    TFVantor* w = &window;
    const auto connect = [w](QAction* action, std::function<void()> handler) {
        QObject::connect(action, &QAction::triggered, w, [handler] { Guarded(handler); });
    };
    QAction* load = window.findChild<QAction*>("Load1");
    QAction* save = window.findChild<QAction*>("Save1");
    if (save)
        connect(save, Save1Click);
    if (load)
        connect(load, [w] { Load1Click(Editor(), *w); });
    if (auto* game = window.findChild<QMenu*>("Game1"); game && load && save) {
        const auto add = [&](const char* name, const char* caption, QAction* before) {
            auto* action = new QAction(Ui(caption), game);
            action->setObjectName(name);
            game->insertAction(before, action);
            return action;
        };
        connect(add("OpenProject1", "Открыть проект…", load), [w] { OpenProjectClick(Editor(), *w); });
        const QList<QAction*> items = game->actions();
        const qsizetype afterSave = items.indexOf(save) + 1;
        QAction* next = afterSave < items.size() ? items[afterSave] : nullptr;
        connect(add("SaveAs1", "Сохранить проект как…", next), [w] { SaveProjectAsClick(Editor(), *w); });
        InstallPlayHere(*game, next);
        QAction* manager = add("Manager1", "Менеджер проектов", next);
        game->insertSeparator(manager);
        QObject::connect(manager, &QAction::triggered, w, [] {
            if (ProjectManagerWindow()) {
                ProjectManagerWindow()->show();
                ProjectManagerWindow()->raise();
            }
        });
    }
    QObject::connect(window.BitBtn1, &QPushButton::clicked, w, [w] { Guarded([w] { BitBtn1Click(); }); });
}
