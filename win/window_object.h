// Windows of ours are objects: the object rides in CREATESTRUCT at WM_NCCREATE and in the
// window's user data afterwards, and its handler runs under the application's default error
// handler, so no exception ever leaves a window procedure. Each window class's static
// procedure hands its messages here with its own window field and handler.
#pragma once

#include <windows.h>

#include "base/trace.h"
#include "ui/application.h"

template <class T>
LRESULT RouteToObject(HWND h, UINT msg, WPARAM wp, LPARAM lp, HWND T::*window,
                      LRESULT (T::*handle)(UINT, WPARAM, LPARAM)) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->*window = h;
        SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<T*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (!self) return DefWindowProcW(h, msg, wp, lp);
    // Past this message the object no longer has a window, whatever it does next.
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        self->*window = nullptr;
        return DefWindowProcW(h, msg, wp, lp);
    }
    LRESULT result = 0;
    try {
        if (!Application.Dispatch([&] { result = (self->*handle)(msg, wp, lp); })) return 0;
    } catch (...) {
        // Dispatch lets nothing out, but wrapping the handler for it may allocate, and a
        // std::bad_alloc from there must not unwind into the system's code either.
        TraceIgnored("window procedure");
        return 0;
    }
    return result;
}
