// Sets the process separator and the user locale's decimal point for one
// test and puts both back afterwards.
#pragma once

#include "NumberText.h"

namespace qxtest {

class SeparatorScope {
public:
    SeparatorScope(char processSeparator, char localePoint) : saved_(DecimalSeparator())
    {
        SetDecimalSeparator(processSeparator);
        qx::SetUserLocaleDecimalPointOverride(localePoint);
    }
    ~SeparatorScope()
    {
        SetDecimalSeparator(saved_);
        qx::SetUserLocaleDecimalPointOverride(0);
    }
    SeparatorScope(const SeparatorScope&) = delete;
    SeparatorScope& operator=(const SeparatorScope&) = delete;

private:
    char saved_;
};

}  // namespace qxtest
