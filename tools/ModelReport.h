// `qxinspect model FILE`: a 3DS or Blender-export model read with the
// editor's readers, one line per 3DS mesh object or per texture of a
// Blender-export model, warnings, and a line of totals with the bounding box.
#pragma once

// argv[1] is "model".  Exit 0 when the file loaded, 1 when the reader
// failed, 2 on a wrong command line.
int RunModelReport(int argc, char** argv);
