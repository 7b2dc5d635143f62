// The texture list (".qxtex") as bytes, apart from the file and the GL work,
// so the format is tested and fuzzed without either.  The game runtime reads
// the same file: count line, then name + "1"/"0" per entry, CR LF endings.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "NumberText.h"
#include "Textures.h"

namespace qx {

std::string FormatTextureList(const std::vector<TextureListEntry>& entries);

// Calls onEntry for each entry line in file order.  The count line and each
// entry's last character are read as EditTextToInt reads them, but a text it
// would reject throws qx::ConvertError("'<text>' is not a valid integer
// value"); entries reported before the error stay reported.  Lines missing
// at the end read as empty lines (and so throw).  Accepts CR LF and LF.
void ParseTextureList(std::string_view data, const std::function<void(const TextureListEntry&)>& onEntry);

}  // namespace qx

// The process-wide registry's list: base + ".qxtex", the pictures in the
// "textures" folder beside it.  Failures throw qx::InOutError; conversion
// failures of LoadTextureList throw qx::ConvertError, leaving the entries
// read so far registered.
void SaveTextureList(const std::string& base);
void LoadTextureList(const std::string& base);
