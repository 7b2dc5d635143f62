// The edit history and autosave on a generated project of 2,000 objects of
// 50 boxes and 50,000 placements, in the real editor windows: undo of a box
// change (alone, and with the present step that shows it), of a committed
// box and of a placement, the heap held by 200 box-edit steps and by 200
// committed boxes, and the main thread's part of an autosave.  Needs a
// display (xvfb-run).
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <optional>

#include "AskObjectName.h"
#include "Autosave.h"
#include "CountingNew.h"
#include "EditCommands.h"
#include "EditHistory.h"
#include "EditorState.h"
#include "EditorWindows.h"
#include "FrameTimer.h"
#include "FrameLoop.h"
#include "Installation.h"
#include "BoxEditor.h"
#include "EditControls.h"
#include "PartTree.h"
#include "Placing.h"
#include "SceneMouse.h"
#include "PrimitiveList.h"
#include "ProgramFolder.h"
#include "QX3DObject.h"
#include "TreeWidgetAccess.h"
#include "Vantor.h"
#include "Wiring.h"

namespace {

struct Editor {
    std::filesystem::path folder;
    std::unique_ptr<EditorWindows> windows;

    Editor()
    {
        folder = std::filesystem::temp_directory_path() / "qx-bench-history";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        for (const auto& file : qx::data::InstallationFiles())
            qx::data::WriteIfChanged(folder, file);
        std::filesystem::current_path(folder);
        qx::ExecutableFolderOverride() = folder.string() + "/";
        windows = std::make_unique<EditorWindows>();
        windows->vantor->show();
        if (!QTest::qWaitForWindowExposed(windows->vantor.get()))
            std::fprintf(stderr, "the main window was not shown\n");
        windows->vantor->RenderTimer->stop();
        // The project: 2,000 objects of 50 boxes, 50,000 placements, and
        // the object tree listing the objects.
        EditorState& state = ::Editor();
        for (int i = 0; i < 2000; ++i) {
            const std::string name = "_obj" + std::to_string(i);
            const int32_t k = state.AddObject(name);
            for (int b = 0; b < 50; ++b)
                state.MapObjects[static_cast<size_t>(k)]->Lists[0]->AddBox(b % 8, float(b), 0, 0, 1, 2, 3, 1, 0, 0, 0);
            state.ObjectTree.AppendChild(0, name);
        }
        state.Events.Notify(qx::ObjectTreeChanged);
        for (int p = 0; p < 50000; ++p)
            state.AddPlacement("_obj" + std::to_string(p % 2000),
                               TPlacement{float(p % 250) * 4, 0, float(p / 250) * 4, 0, 0, 0, 1, 1, 1});
    }
};

std::unique_ptr<Editor> g_editor;

Editor& TheEditor()
{
    if (!g_editor)
        g_editor = std::make_unique<Editor>();
    return *g_editor;
}

TFVantor& Window() { return *TheEditor().windows->vantor; }

// Opens object 0 with one pending box, locked on the cursor.
void OpenWithPendingBox()
{
    EditorState& state = ::Editor();
    if (state.ModelEditMode)
        return;
    QTreeWidget* tree = Window().ObjectList;
    tree->clearSelection();
    tree->topLevelItem(0)->child(0)->setSelected(true);
    OpenObjectForEditing(Window());
    StartPlacingShape(::Editor(), ShapeKind::Box);
}

// Undo of a box field's change; `presented`: with the present step that
// shows it (the box editor's fields, the caption's mark, the menu's actions).
void UndoBoxChanges(benchmark::State& bench, bool presented)
{
    TheEditor();
    OpenWithPendingBox();
    int i = 0;
    for (auto _ : bench) {
        bench.PauseTiming();
        // A different field each time, so the steps do not merge.
        QLineEdit* field = (i++ % 2) ? BoxEditorWindow()->Ex2 : BoxEditorWindow()->Ey2;
        field->setText(QString::number(i));
        PresentNow();
        bench.ResumeTiming();
        EditHistory().Undo();
        if (presented)
            PresentNow();
    }
}

// The undo itself: the document goes back and marks what the next frame
// presents.
void UndoBoxChange(benchmark::State& bench) { UndoBoxChanges(bench, false); }
BENCHMARK(UndoBoxChange)->Unit(benchmark::kMillisecond);

void UndoBoxChangePresented(benchmark::State& bench) { UndoBoxChanges(bench, true); }
BENCHMARK(UndoBoxChangePresented)->Unit(benchmark::kMillisecond);

void UndoPlacementAddition(benchmark::State& bench)
{
    TheEditor();
    EditorState& state = ::Editor();
    if (state.ModelEditMode)
        qx::StoreWorkingCopy(::Editor());
    QTreeWidget* tree = Window().ObjectList;
    tree->clearSelection();
    tree->topLevelItem(0)->child(0)->setSelected(true);
    for (auto _ : bench) {
        bench.PauseTiming();
        SceneClick(Window());
        bench.ResumeTiming();
        EditHistory().Undo();
    }
    bench.counters["placements"] = state.PlacementCount;
}
BENCHMARK(UndoPlacementAddition)->Unit(benchmark::kMillisecond);

// A step of the object tree: the tree put back and its 2,000-node widget
// brought up to it.
void UndoObjectRename(benchmark::State& bench)
{
    TheEditor();
    EditorState& state = ::Editor();
    if (state.ModelEditMode)
        qx::StoreWorkingCopy(::Editor());
    int i = 0;
    for (auto _ : bench) {
        bench.PauseTiming();
        const std::string name = "_renamed" + std::to_string(i++);
        ObjectNameHooks().InputText = [&](const QString&, const QString&, const QString&) {
            return std::optional<QString>(QString::fromStdString(name.substr(1)));
        };
        QTreeWidget* tree = Window().ObjectList;
        tree->clearSelection();
        tree->topLevelItem(0)->child(1000)->setSelected(true);
        RenameSelectedObject(::Editor());
        bench.ResumeTiming();
        EditHistory().Undo();
    }
    ObjectNameHooks().InputText = nullptr;
}
BENCHMARK(UndoObjectRename)->Unit(benchmark::kMillisecond);

// MiB the heap grows by while `edits` runs on an empty history.
template <typename Edits>
double HeldBy(Edits edits)
{
    EditHistory().Reset();
    const std::size_t before = qxbench::HeapBytesInUse();
    edits();
    return double(qxbench::HeapBytesInUse() - before) / (1 << 20);
}

void HeapOf200BoxEdits(benchmark::State& bench)
{
    TheEditor();
    OpenWithPendingBox();
    double mib = 0;
    for (auto _ : bench)
        mib = HeldBy([] {
            for (int i = 0; i < 200; ++i) {
                QLineEdit* field = (i % 2) ? BoxEditorWindow()->Ex2 : BoxEditorWindow()->Ey2;
                field->setText(QString::number(i + 2));
            }
        });
    bench.counters["steps"] = double(EditHistory().Count());
    bench.counters["held_MiB"] = mib;
}
BENCHMARK(HeapOf200BoxEdits)->Unit(benchmark::kMillisecond)->Iterations(3);

// Two clicks: the pending box locked (unless it is) and committed to the
// open object.
void CommitPendingBox()
{
    if (::Editor().ClickState == 0)
        SceneClick(Window());
    SceneClick(Window());
}

void UndoBoxCommit(benchmark::State& bench)
{
    TheEditor();
    OpenWithPendingBox();
    for (auto _ : bench) {
        bench.PauseTiming();
        CommitPendingBox();
        bench.ResumeTiming();
        EditHistory().Undo();
    }
}
BENCHMARK(UndoBoxCommit)->Unit(benchmark::kMillisecond);

// The boxes themselves and their nodes count too; the steps' own share is
// the history's estimate.
void HeapOf200BoxCommits(benchmark::State& bench)
{
    TheEditor();
    OpenWithPendingBox();
    double mib = 0;
    for (auto _ : bench) {
        mib = HeldBy([] {
            for (int i = 0; i < 200; ++i)
                CommitPendingBox();
        });
        bench.PauseTiming();
        while (EditHistory().CanUndo())
            EditHistory().Undo();
        bench.ResumeTiming();
    }
    bench.counters["held_MiB"] = mib;
}
BENCHMARK(HeapOf200BoxCommits)->Unit(benchmark::kMillisecond)->Iterations(3);

// After the first autosave, each one follows an edit: one definition
// stored with a changed box and one placement moved.
void AutosaveMainThreadPause(benchmark::State& bench)
{
    TheEditor();
    EditorState& state = ::Editor();
    if (state.ModelEditMode)
        qx::StoreWorkingCopy(::Editor());
    Autosaver& autosaver = *TheEditor().windows->autosaver;
    autosaver.Start();
    autosaver.Finish();
    int i = 0;
    for (auto _ : bench) {
        bench.PauseTiming();
        TQX3DObject& object = *state.MapObjects[static_cast<size_t>(++i % state.MapObjectCount)];
        object.Lists[0]->Boxes[0].Tiling += 1;
        object.Changed();
        state.Placements[static_cast<size_t>(i)].PosX += 1;
        bench.ResumeTiming();
        autosaver.Start();
        bench.PauseTiming();
        autosaver.Finish();
        bench.ResumeTiming();
    }
}
BENCHMARK(AutosaveMainThreadPause)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The document and its history, with the objects' GL buffers, go with
    // the editor while Qt can still tell there is no context.
    g_editor.reset();
    return 0;
}
