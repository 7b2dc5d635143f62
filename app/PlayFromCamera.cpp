#include "PlayFromCamera.h"

#include <QAction>
#include <QMenu>

#include "Camera.h"
#include "EditorState.h"
#include "HandlerGuard.h"
#include "GameChannel.h"
#include "ProjectCommands.h"
#include "QtText.h"

qx::ViewStart CameraStart(const TCamera& camera)
{
    // Where the next frame puts the eye (Apply): the ground position at the
    // height of the working level plus the camera's offset.
    const float eye[3] = {camera.PosX, camera.BaseHeight + camera.HeightOffset, camera.PosZ};
    const float target[3] = {eye[0] + camera.Target.X - camera.Eye.X, eye[1] + camera.Target.Y - camera.Eye.Y,
                             eye[2] + camera.Target.Z - camera.Eye.Z};
    return qx::ViewStartLooking(eye, target);
}

void PlayHereClick()
{
    const TCamera* camera = Editor().Camera;
    if (!camera) {
        BitBtn1Click();
        return;
    }
    SaveGameData();
    const qx::ViewStart start = CameraStart(*camera);
    qx::HandStartToGame(OpenProjectFolder(), start, [start](bool handed) {
        if (handed)
            return;
        QStringList arguments{"--start"};
        for (const std::string& word : qx::ViewStartWords(start))
            arguments << QString::fromStdString(word);
        StartGame(arguments);
    });
}

void InstallPlayHere(QMenu& game, QAction* before)
{
    auto* action = new QAction(Ui("Играть отсюда"), &game);
    action->setObjectName("PlayHere1");
    action->setShortcut(QKeySequence(Qt::Key_F5));
    game.insertAction(before, action);
    QObject::connect(action, &QAction::triggered, &game, [] { Guarded(PlayHereClick); });
}
