// "+ 3DS" and "+ Blender": a model file the user chooses is read to check
// it, copied with the pictures it names into the project's models/ folder
// (through a temporary and a rename, never over a different file of the
// same name without asking) and then hangs on the cursor like a new box.
// A file the reader refuses, or whose name has no code page 1251 form, adds
// nothing and says why; a 3DS file read with faults is added and its
// faults are shown once.
#pragma once

#include <QString>

#include <functional>
#include <string>

#include "ShapeFields.h"


// The open dialog for a model: given its caption and filter, the chosen
// file or an empty text.  Tests replace it; null: QFileDialog.
std::function<QString(const QString& caption, const QString& filter)>& ChooseModelFile();

// The project's models/ folder (file-system form, trailing "/").
std::string ModelsFolder();

// The whole command on a chosen file (file-system path).  True when the
// model now hangs on the cursor.
bool ImportModel(ShapeKind kind, const std::string& fsPath);

void AddModel3ds();
void AddModelBlender();
