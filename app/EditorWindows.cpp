#include "EditorWindows.h"

#include "ImageList.h"
#include "KeyHook.h"
#include "ManagerProject.h"
#include "MapNavigator.h"
#include "ObjectEditor.h"
#include "Vantor.h"

EditorWindows::EditorWindows()
{
    SharedImageList().LoadFolder("Sys/Api/ImageList");
    vantor = std::make_unique<TFVantor>();
    InstallKeyHook();
    opos = std::make_unique<TFOPos>();
    pmanager = std::make_unique<TFPManager>();
    navigator = std::make_unique<TFNavigator>();
    navigator->show();
}

EditorWindows::~EditorWindows()
{
    // Tool windows first: the main window's handlers may still refer to them.
    navigator.reset();
    pmanager.reset();
    opos.reset();
    vantor.reset();
}
