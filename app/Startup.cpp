// The first-show sequence of the main window.  A step that fails (a missing
// start-up file, an unreadable helper texture) shows its message and ends
// the sequence there: the render timer stays off and the editor keeps running.
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

#include <GL/gl.h>

#include "Camera.h"
#include "ConfigIni.h"
#include "EditorState.h"
#include "GLEngine.h"
#include "MapNavigator.h"
#include "Messages.h"
#include "NumberText.h"
#include "Paths.h"
#include "QtText.h"
#include "SceneSurface.h"
#include "TreeWidgetAccess.h"
#include "VantorApplication.h"
#include "Vantor.h"

namespace {

const char* const MakerAddress = "https://qxvantor.example.org";

}  // namespace

void TFVantor::RunStartup()
{
    EditorState& state = Editor();
    try {
        setWindowTitle(Ui("QX FPS Vantor v2.0 - (") + MakerAddress +
                       Ui(") Альфа версия для теста - игра не открыта"));
        BitBtn1->setText(Ui("Запустить\nигру"));

        const qreal ratio = SceneWindow->devicePixelRatio();
        if (!InitEngine(static_cast<int>(Scene->width() * ratio), static_cast<int>(Scene->height() * ratio),
                        SceneWindow)) {
            qx::Messages().ShowMessage(Cp("QX FPS Vantor"),
                                       "OpenGL could not be started: no compatibility-profile context "
                                       "with a depth buffer is available on this display.");
            return;
        }

        ReadTreeText(ObjectList, ToFsPath("Sys\\Api\\ObjectList.txt"));
        ReadTreeText(OBJList, ToFsPath("Sys\\Api\\OBJList.txt"));
        ReadTreeText(MapList, ToFsPath("Sys\\Api\\MapList.txt"));

        LoadIconIndexes(ObjectList, ToFsPath("Sys\\Api\\ObjectListIcons.qxicon"));
        LoadIconIndexes(OBJList, ToFsPath("Sys\\Api\\OBJListIcons.qxicon"));
        LoadIconIndexes(MapList, ToFsPath("Sys\\Api\\MapListIcons.qxicon"));

        state.Camera = new TCamera();
        state.Camera->SetPosition(0, 0, 0);
        state.Camera->HeightOffset = InitialHeightOffset;
        state.Camera->LookAnchorX = geometry().left() + Scene->geometry().left() + 400;
        state.Camera->LookAnchorY = geometry().top() + Scene->geometry().top() + 300;
        state.Camera->MouseLookActive = 0;
        state.Camera->EditMode = 255;

        CamZoom->setValue(32);
        CamVerhBar->setValue(0);

        state.GridStepX = state.GridStepY = state.GridStepZ = 0.5f;
        if (FNavigator)
            FNavigator->ShowGridSteps(FloatToEditText(0.5f));
        state.PrimIndex = -1;

        RenderTimer->start();
        FreeMemTimer->start();

        MarkFirstStartDone(ToFsPath(".\\Sys\\Config.ini"));

        for (int i = 0; i < Ch1->count(); ++i)
            Ch1->item(i)->setCheckState(Qt::Checked);

        glClearStencil(0);
        glStencilOp(GL_INCR, GL_INCR, GL_INCR);
        glStencilFunc(GL_EQUAL, 0, 0x0FFFFFFF);
        startupComplete_ = true;
    } catch (...) {
        ShowHandlerException();
    }
}
