// The design writes paths with backslashes; the file system wants slashes.
#pragma once

#include <string>
#include <string_view>

// "Sys\Saves\textures\a.bmp" -> "Sys/Saves/textures/a.bmp".
std::string ToFsPath(std::string_view designPath);

// Where folder + name is on disk (name in code page 1251, folder in the
// file system's form or the design's): under the name's UTF-8 spelling, or,
// when only a file under the 1251 bytes themselves exists (a folder copied
// byte for byte from Windows), under those; *under1251 tells which.  The
// UTF-8 spelling when neither exists.
std::string FindProjectFile(const std::string& folder, std::string_view name, bool* under1251 = nullptr);

// Whole file into memory; throws qx::InOutError ("File not found" or
// "I/O error %d").
std::string ReadWholeFile(const std::string& fsPath);
// Writes to a temporary beside the target and renames it into place, so a
// failed save never leaves a broken file.  Throws qx::InOutError.
void WriteWholeFile(const std::string& fsPath, std::string_view bytes);
// The first half of that: the bytes in a new temporary file beside fsPath,
// its data flushed to disk (fdatasync) unless `sync` is false; returns its
// name.
// Throws qx::InOutError (errno kept).
std::string WriteTemporaryBeside(const std::string& fsPath, std::string_view bytes, bool sync = true);
