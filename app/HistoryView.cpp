#include "HistoryView.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "DocumentEvents.h"
#include "EditHistory.h"
#include "EditCommands.h"
#include "EditorState.h"
#include "HandlerGuard.h"
#include "QtText.h"
#include "Vantor.h"

namespace {

void ShowAction(QAction* action, bool enabled, const QString& text)
{
    if (!action)
        return;
    if (action->isEnabled() != enabled)
        action->setEnabled(enabled);
    if (action->text() != text)
        action->setText(text);
}

}  // namespace

void PresentHistory(TFVantor& window)
{
    const UndoStack& history = EditHistory();
    window.ShowCaption();
    ShowAction(window.UndoAction, history.CanUndo(),
               history.CanUndo() ? Ui("Отменить: ") + ToQString(history.UndoLabel()) : Ui("Отменить"));
    ShowAction(window.RedoAction, history.CanRedo(),
               history.CanRedo() ? Ui("Повторить: ") + ToQString(history.RedoLabel()) : Ui("Повторить"));
}

void InstallEditHistory(TFVantor& window)
{
    TFVantor* w = &window;
    QMenu* edit = new QMenu(Ui("Правка"), w);
    edit->setObjectName("Pravka1");
    w->menuBar()->addMenu(edit);
    QAction* undo = edit->addAction(Ui("Отменить"));
    undo->setObjectName("Undo1");
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = edit->addAction(Ui("Повторить"));
    redo->setObjectName("Redo1");
    redo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    QObject::connect(undo, &QAction::triggered, w, [w] { Guarded([w] { UndoLastEdit(); }); });
    QObject::connect(redo, &QAction::triggered, w, [w] { Guarded([w] { RedoLastEdit(); }); });
    w->UndoAction = undo;
    w->RedoAction = redo;

    // A change of the history is told as a change of the document; the
    // caption and the actions show it in the next present step.
    qx::TellHistoryChanges(Editor());
    // A new window: the history of an earlier one (tests make several) goes.
    EditHistory().Reset();
    PresentHistory(window);
}
