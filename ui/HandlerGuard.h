// Runs one event handler; an exception that escapes it is shown through the
// message interface and the handler's remaining work is abandoned.
#pragma once

#include <utility>

#include "VantorApplication.h"

template <typename F>
void Guarded(F&& handler)
{
    try {
        std::forward<F>(handler)();
    } catch (...) {
        ShowHandlerException();
    }
}
