#include "LoadSession.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include "EditorState.h"
#include "GLEngine.h"
#include "QtText.h"
#include "FrameTimer.h"

namespace {

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        return true;
    default:
        return false;
    }
}

}  // namespace

LoadSession::LoadSession(QWidget& window, FrameTimer* timer, int showAfterMs) : timer_(timer), dialog_(&window)
{
    rendering_ = timer_ && timer_->isActive();
    if (timer_)
        timer_->stop();
    keysEnabled_ = Editor().KeysEnabled;
    Editor().KeysEnabled = false;
    Editor().MoveKeys = TMoveKeys();
    dialog_.setWindowTitle(Ui("Загрузка проекта"));
    dialog_.setCancelButtonText(Ui("Отмена"));
    dialog_.setWindowModality(Qt::ApplicationModal);
    dialog_.setMinimumDuration(showAfterMs);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
    dialog_.setValue(0);
    qApp->installEventFilter(this);
}

LoadSession::~LoadSession()
{
    dialog_.hide();
    QCoreApplication::processEvents();  // swallows the input that queued up
    qApp->removeEventFilter(this);
    Editor().KeysEnabled = keysEnabled_;
    if (rendering_)
        timer_->start();
    MakeEngineCurrent();
}

bool LoadSession::Report(int done, int total)
{
    dialog_.setMaximum(total);
    dialog_.setLabelText(Ui("Загружено файлов и текстур: %1 из %2").arg(done).arg(total));
    dialog_.setValue(done);
    MakeEngineCurrent();  // the dialog may have painted
    return !dialog_.wasCanceled();
}

void LoadSession::ReportBuilding(int done, int total)
{
    dialog_.setCancelButton(nullptr);
    dialog_.setMaximum(total);
    dialog_.setLabelText(Ui("Подготовка объектов к показу: %1 из %2").arg(done).arg(total));
    dialog_.setValue(done);
    MakeEngineCurrent();  // the dialog may have painted
}

bool LoadSession::eventFilter(QObject* watched, QEvent* event)
{
    if (!IsUserInput(event->type()))
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    return !(widget != nullptr && widget->window() == &dialog_);
}
