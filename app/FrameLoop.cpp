#include "FrameLoop.h"

#include <QListWidget>
#include <QSlider>
#include <QTreeWidget>

#include <chrono>

#include "EditorState.h"
#include "GLEngine.h"
#include "ObjectRelease.h"
#include "SceneSurface.h"
#include "Vantor.h"

void DrawFrame(TFVantor& window)
{
    EditorState& state = Editor();
    if (!state.Camera)
        return;
    // What the update and draw steps change, this frame's present step
    // shows, without asking for another frame.
    struct Drawing {
        bool& flag;
        explicit Drawing(bool& f) : flag(f) { flag = true; }
        ~Drawing() { flag = false; }
    } drawing(window.Frame.drawing);
    MakeEngineCurrent();
    // The panel's size is the viewport's; the rest of the view comes from
    // what the controls' handlers stored.
    SceneView& view = window.Frame.view;
    const qreal ratio = window.SceneWindow->devicePixelRatio();
    view.width = static_cast<int>(window.Scene->width() * ratio);
    view.height = static_cast<int>(window.Scene->height() * ratio);
    UpdateFrame(state, view);
    DrawScene(state, window.Frame.shownOptions, view, window.Frame.draw);
    PresentFrame(window);
}

void RenderFrame(TFVantor& window)
{
    DrawFrame(window);
    EndFrame();
    // What a load replaced goes once the new project shows, a portion
    // after each frame, so that the frames keep coming meanwhile.
    if (qx::ObjectsAwaitingRelease() > 0 && qx::ReleaseSome(std::chrono::milliseconds(4)))
        RequestFrame();
}


void InstallFrameLoop(TFVantor& window)
{
    TFVantor* w = &window;
    w->RenderTimer = new FrameTimer(
        w, [w] { RenderFrame(*w); },
        [w] {
            if (w->Frame.toPresent)
                PresentFrame(*w);
        });
    w->RenderTimer->setObjectName("RenderTimer");
    // What the frame draws with, kept as the controls change it.
    FrameCache& cache = w->Frame;
    cache.shownOptions = ReadDisplayOptions(cache);
    QObject::connect(w->Ch1, &QListWidget::itemChanged, w->RenderTimer,
                     [&cache] { cache.shownOptions = ReadDisplayOptions(cache); });
    cache.view.level = w->CamVerhBar->value();
    cache.view.zoom = w->CamZoom->value();
    cache.view.timeline = w->line->value();
    QObject::connect(w->CamVerhBar, &QSlider::valueChanged, w->RenderTimer, [&cache](int v) { cache.view.level = v; });
    QObject::connect(w->CamZoom, &QSlider::valueChanged, w->RenderTimer, [&cache](int v) { cache.view.zoom = v; });
    QObject::connect(w->line, &QSlider::valueChanged, w->RenderTimer, [&cache](int v) { cache.view.timeline = v; });
    // The document's changes wait for the next present step.
    const int observer = Editor().Events.Observe([](uint32_t changes) { MarkForPresentation(changes); });
    QObject::connect(w->RenderTimer, &QObject::destroyed, [observer] { Editor().Events.Forget(observer); });
    // Changes of the picture that need no input event to this application
    // (a tree's signal, a value set by a command); input asks by itself.
    QObject::connect(w->Ch1, &QListWidget::itemChanged, w->RenderTimer, &RequestFrame);
    QObject::connect(w->line, &QSlider::valueChanged, w->RenderTimer, &RequestFrame);
    for (QTreeWidget* tree : {w->MapList, w->ObjectList, w->OBJList}) {
        QObject::connect(tree, &QTreeWidget::currentItemChanged, w->RenderTimer, &RequestFrame);
        QObject::connect(tree, &QTreeWidget::itemSelectionChanged, w->RenderTimer, &RequestFrame);
        QObject::connect(tree, &QTreeWidget::itemClicked, w->RenderTimer, &RequestFrame);
        QObject::connect(tree, &QTreeWidget::itemDoubleClicked, w->RenderTimer, &RequestFrame);
    }
}
