#pragma once
// Takes over one window's procedure so the program sees its messages first
// and hands them on; also the window's paint bracket and its shape.
#include <windows.h>

#include <memory>

namespace varnel {

class Region;

class WindowSubclass {
public:
    WindowSubclass() = default;
    WindowSubclass(const WindowSubclass&) = delete;
    WindowSubclass& operator=(const WindowSubclass&) = delete;
    // Leaves the window alone: the window's destruction ends the subclassing.
    virtual ~WindowSubclass() = default;

    // A copy with the same window, procedure and paint record; it owns
    // nothing, so it is safe to have several.
    std::unique_ptr<WindowSubclass> Copy() const;

    // Puts the replaced procedure back; returns what was installed before.
    virtual LONG_PTR Unsubclass();
    // Without a callback only records the window for painting and shaping.
    virtual bool Subclass(HWND window, WNDPROC callback = nullptr);
    virtual HDC BeginPaint();
    virtual bool EndPaint();
    virtual LRESULT CallPrevious(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The window takes the region on success.
    virtual bool SetRegion(HRGN region, bool redraw = true);
    // A GDI region made from source, owned by the window on success.
    virtual bool SetRegion(Region& source, bool redraw = true);
    virtual bool SetEllipseShape(int x, int y, int width, int height, bool redraw = true);
    virtual bool SetRoundRectShape(int x, int y, int width, int height, int cornerWidth, int cornerHeight,
                                   bool redraw = true);

    HWND Window() const { return window_; }

private:
    // Gives region to the window, or deletes it when the window refuses it.
    bool GiveRegion(HRGN region, bool redraw);

    WNDPROC previousProcedure_ = nullptr;
    HWND window_ = nullptr;
    bool subclassed_ = false;
    PAINTSTRUCT paint_{};
};

}  // namespace varnel
