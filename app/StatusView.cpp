#include "StatusView.h"

#include <string>

#include "EditorState.h"
#include "FrameLoop.h"
#include "ObjectSettings.h"
#include "QtText.h"
#include "Vantor.h"
#include "Wiring.h"

namespace {

void ShowSelection(TFVantor& window)
{
    RequestFrame();  // the outlines follow the selection
    const size_t n = Editor().Selection.size();
    window.ShowStatusMessage(n == 0 ? std::string() : Cp("Выбрано объектов: ") + std::to_string(n));
    if (ObjectSettingsWindow())
        ObjectSettingsWindow()->ShowSelection();
}

}  // namespace

void InstallStatusView(TFVantor& window)
{
    // The status bar, the settings window and the outlines show the
    // selection the document tells of; the picture follows the map.
    TFVantor* w = &window;
    const int observer = Editor().Events.Observe([w](uint32_t changes) {
        if (changes & qx::SelectionChanged)
            ShowSelection(*w);
        else if (changes & qx::MapChanged)
            RequestFrame();
        if (changes & qx::NoticeChanged)
            w->ShowStatusMessage(Editor().Notice);
    });
    QObject::connect(w, &QObject::destroyed, [observer] { Editor().Events.Forget(observer); });
}
