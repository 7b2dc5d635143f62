// The status bar's message panel and the object settings window follow the
// document: how many placements are selected after every change of the
// selection, and the notice a command left for the user.
#pragma once

class TFVantor;

// Called once by the wiring.
void InstallStatusView(TFVantor& window);
