// The first-show sequence of the main window.  A step that fails (a missing
// start-up file, an unreadable helper texture) shows its message and ends
// the sequence there: the render timer stays off and the editor keeps running.
#include "Startup.h"

#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

#include <GL/gl.h>

#include <cstdio>

#include "Autosave.h"
#include "Camera.h"
#include "PrimitiveList.h"
#include "Project.h"
#include "ProjectCommands.h"
#include "QX3DObject.h"
#include "QXFont.h"
#include "Skybox.h"
#include "ConfigIni.h"
#include "Errors.h"
#include "FrameTimer.h"
#include "EditorState.h"
#include "GLEngine.h"
#include "MapNavigator.h"
#include "Messages.h"
#include "NumberText.h"
#include "Paths.h"
#include "ProgramFolder.h"
#include "QtText.h"
#include "SceneSurface.h"
#include "TextureWindow.h"
#include "Textures.h"
#include "TreeWidgetAccess.h"
#include "VantorApplication.h"
#include "Vantor.h"
#include "Wiring.h"

namespace {

// A helper texture of the installation, through the texture window.  A
// picture that cannot be read ends the start-up sequence; the loader has
// shown why.
int32_t AddHelperTexture(TFTexture& textures, const std::string& designPath, bool keyed)
{
    const int32_t before = Textures().TextureCount;
    const int32_t index = textures.AddTextureEntry(designPath, keyed);
    if (Textures().TextureCount == before || index < 0 || Textures().TextureIds[index] == 0)
        throw qx::ReportedError("Cannot read the helper texture " + designPath);
    return index;
}

}  // namespace

void RunStartup(TFVantor& window)
{
    EditorState& state = Editor();
    try {
        window.ShowProjectCaption(EditorCaption(std::string()));
        window.BitBtn1->setText(Ui("Запустить\nигру"));

        const qreal ratio = window.SceneWindow->devicePixelRatio();
        if (!InitEngine(static_cast<int>(window.Scene->width() * ratio), static_cast<int>(window.Scene->height() * ratio),
                        window.SceneWindow)) {
            qx::Messages().ShowMessage(Cp("QX FPS Vantor"),
                                       "OpenGL could not be started: no compatibility-profile context "
                                       "with a depth buffer is available on this display.");
            return;
        }

        TFTexture& textures = *TextureWindow();
        textures.show();

        // Read where the installation keeps it (the current folder first).
        const std::string data = qx::StartupDataFolder();
        ReadTreeText(state.ObjectTree, data + "Sys\\Api\\ObjectList.txt");
        ReadTreeText(window.OBJList, data + "Sys\\Api\\OBJList.txt");
        ReadTreeText(state.MapTree, data + "Sys\\Api\\MapList.txt");
        ReadTreeText(state.TextureTree, data + "Sys\\Api\\TexturesList.txt");

        LoadIconIndexes(state.ObjectTree, data + "Sys\\Api\\ObjectListIcons.qxicon");
        LoadIconIndexes(window.OBJList, data + "Sys\\Api\\OBJListIcons.qxicon");
        LoadIconIndexes(state.MapTree, data + "Sys\\Api\\MapListIcons.qxicon");
        LoadIconIndexes(state.TextureTree, data + "Sys\\Api\\FTExtureIcons.qxicon");
        qx::TreesReplaced(state);

        state.GridTexture = AddHelperTexture(textures, data + "textures\\Setka.bmp", false);
        state.CrossTexture = AddHelperTexture(textures, data + "textures\\CurCenter.bmp", true);

        state.SkyBox = new TSkybox(true, 500.0f);
        state.SkyBox->FrontTexture = AddHelperTexture(textures, data + "textures\\cliffFront.bmp", false);
        state.SkyBox->BackTexture = AddHelperTexture(textures, data + "textures\\cliffBack.bmp", false);
        state.SkyBox->LeftTexture = AddHelperTexture(textures, data + "textures\\cliffLeft.bmp", false);
        state.SkyBox->RightTexture = AddHelperTexture(textures, data + "textures\\cliffRight.bmp", false);
        state.SkyBox->TopTexture = AddHelperTexture(textures, data + "textures\\cliffTop.bmp", false);
        state.SkyBox->BottomTexture = AddHelperTexture(textures, data + "textures\\cliffBottom.bmp", false);
        state.SkyBox->BuildList();
        state.HelperTextures = qx::kHelperTextures;

        state.Camera = new TCamera();
        state.Camera->SetPosition(0, 0, 0);
        state.Camera->HeightOffset = InitialHeightOffset;
        const QPoint sceneInWindow = window.Scene->mapTo(&window, QPoint(0, 0));
        state.Camera->LookAnchorX = window.geometry().left() + sceneInWindow.x() + 400;
        state.Camera->LookAnchorY = window.geometry().top() + sceneInWindow.y() + 300;
        state.Camera->MouseLookActive = 0;
        state.Camera->EditMode = 255;

        window.CamZoom->setValue(32);
        window.CamVerhBar->setValue(0);

        state.GridObject = new TQX3DObject("ObjSetka");
        state.GridObject->AddList();
        state.GridObject->Lists[0]->AddFloor(state.GridTexture, 0, 0, 0, 1000, 1000, 600, 0, 0, 0);
        state.GridObject->BuildDisplayLists();

        state.GridStepX = state.GridStepY = state.GridStepZ = 0.5f;
        if (NavigatorWindow())
            NavigatorWindow()->ShowGridSteps(FloatToEditText(0.5f));
        state.PrimIndex = -1;

        state.EditedModel = new TQX3DObject("Temp3DModel");
        state.EditedModel->AddList();
        state.CursorPreview = new TQX3DObject("MapTemp");
        state.CursorPreview->AddList();
        state.PendingPrimitive = new TQX3DObject("ModelTemp");
        state.PendingPrimitive->AddList();

        window.RenderTimer->start();
        window.FreeMemTimer->start();

        // The value has no other use: a file that cannot be written is no
        // reason to leave the editor half started.
        try {
            MarkFirstStartDone(ToFsPath(qx::SettingsFile()));
        } catch (const std::exception& error) {
            std::fprintf(stderr, "qxvantor: %s not written: %s\n", qx::SettingsFile().c_str(), error.what());
        }

        state.PlayerMarker = new TQX3DObject("PlayerModel");
        state.PlayerMarker->AddList();
        state.PlayerMarker->Lists[0]->AddSphere(state.SkyBox->BackTexture, 16, 0, 2, 0, 2, 0, 0, 0);
        state.PlayerMarker->BuildDisplayLists();

        state.TextFont = new TQXFont();
        state.TextFont->Build("11", 20, "Arial", TColor4{1, 1, 1, 0.2f});

        for (int i = 0; i < window.Ch1->count(); ++i)
            window.Ch1->item(i)->setCheckState(Qt::Checked);

        glClearStencil(0);
        glStencilOp(GL_INCR, GL_INCR, GL_INCR);
        glStencilFunc(GL_EQUAL, 0, 0x0FFFFFFF);
        window.MarkStartupComplete();
        OpenStartupProject(Editor(), window);
    } catch (...) {
        ShowHandlerException();
    }
}
