// The design writes paths with backslashes; the file system wants slashes.
#pragma once

#include <string>
#include <string_view>

// "Sys\Saves\textures\a.bmp" -> "Sys/Saves/textures/a.bmp".
std::string ToFsPath(std::string_view designPath);

// Whole file into memory; throws qx::InOutError ("File not found" or
// "I/O error %d").
std::string ReadWholeFile(const std::string& fsPath);
// Writes to a temporary beside the target and renames it into place, so a
// failed save never leaves a broken file.  Throws qx::InOutError.
void WriteWholeFile(const std::string& fsPath, std::string_view bytes);
// The first half of that: the bytes in a new temporary file beside fsPath,
// synced to disk unless the caller syncs many at once; returns its name.
// Throws qx::InOutError (errno kept).
std::string WriteTemporaryBeside(const std::string& fsPath, std::string_view bytes, bool sync = true);
