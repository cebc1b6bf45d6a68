#pragma once
// A window of one of the program's own classes whose messages reach a member
// function. `this` travels in CreateWindowEx's creation data and is stored in
// the window on WM_NCCREATE, its first message, so nothing sent while the
// window is being created is missed.
//
// Windows of other classes (a common control, a window handed to a drop
// target) are watched through comctl32's SetWindowSubclass: that is the
// platform's one way into messages of a window it does not own.
#include <windows.h>

namespace varnel {

class WindowBase {
public:
    WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    virtual ~WindowBase();

    HWND Handle() const { return hwnd_; }

    // The procedure of every class whose windows are made by CreateBound.
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Creates a window of a class registered with Procedure, bound to this
    // object from its first message to its last.
    HWND CreateBound(DWORD exStyle, const char* className, const char* text, DWORD style, int left, int top,
                     int width, int height, HWND parent, HMENU menuOrId);
    // Every message of the bound window while hwnd_ names it.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

}  // namespace varnel
