#include "HistoryView.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "EditHistory.h"
#include "EditRecording.h"
#include "FrameLoop.h"
#include "HandlerGuard.h"
#include "QtText.h"
#include "Vantor.h"

namespace {

QString g_designCaption;

void Refresh(TFVantor& window, QAction* undo, QAction* redo)
{
    // Every change of the history is a change of what the view shows.
    RequestFrame();
    UndoStack& history = EditHistory();
    if (!g_designCaption.isEmpty())
        window.setWindowTitle(CaptionWithMark(g_designCaption));
    if (undo) {
        undo->setEnabled(history.CanUndo());
        undo->setText(history.CanUndo() ? Ui("Отменить: ") + ToQString(history.UndoLabel()) : Ui("Отменить"));
    }
    if (redo) {
        redo->setEnabled(history.CanRedo());
        redo->setText(history.CanRedo() ? Ui("Повторить: ") + ToQString(history.RedoLabel()) : Ui("Повторить"));
    }
}

}  // namespace

QString CaptionWithMark(const QString& caption)
{
    return EditHistory().Modified() ? caption + " *" : caption;
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
    QObject::connect(undo, &QAction::triggered, w, [w] { Guarded([w] { UndoLastEdit(*w); }); });
    QObject::connect(redo, &QAction::triggered, w, [w] { Guarded([w] { RedoLastEdit(*w); }); });

    // A new window: the history of an earlier one (tests make several) goes.
    EditHistory().Changed = [w, undo, redo] { Refresh(*w, undo, redo); };
    EditHistory().Reset();
    InstallEditRecording();
}

void SetDesignCaption(TFVantor& window, const QString& caption)
{
    g_designCaption = caption;
    window.setWindowTitle(CaptionWithMark(caption));
}
