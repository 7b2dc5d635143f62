#include "Errors.h"

#include <cerrno>

#include "Text1251.h"

namespace qx {

InOutError InOutError::FromErrno(int code)
{
    if (code == ENOENT)
        return InOutError("File not found");
    return InOutError("I/O error " + std::to_string(code));
}

ConvertError ConvertError::NotValid(std::string_view text, const char* what)
{
    ConvertError error("'" + std::string(text) + "' is not a valid " + what + " value");
    error.text_ = text;
    error.hasText_ = true;
    return error;
}

std::string RussianReason(const std::exception& error)
{
    if (const auto* convert = dynamic_cast<const ConvertError*>(&error); convert && convert->Offending())
        return "'" + *convert->Offending() + Cp("' — не число");
    return error.what();
}

}  // namespace qx
