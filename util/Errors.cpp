#include "Errors.h"

#include <cerrno>

namespace qx {

InOutError InOutError::FromErrno(int code)
{
    if (code == ENOENT)
        return InOutError("File not found");
    return InOutError("I/O error " + std::to_string(code));
}

}  // namespace qx
