#include "RegistryName.h"

namespace qx {

std::string RegistryFileName(std::string_view path)
{
    const size_t last = path.find_last_of("\\/:");
    return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

}  // namespace qx
