#pragma once
#include <windows.h>

#include "graphics/objects/graphics_object.h"

namespace varnel {
// Placeholder until the canvas lands.
class Canvas : public GraphicsObject {
public:
    Canvas() = default;
    ~Canvas() override = default;
    bool CreateForWindowSized(HWND window, int width, int height) {
        window_ = window;
        width_ = width;
        height_ = height;
        return false;
    }
    bool Release() { return false; }
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }

protected:
    void OnSetNativeHandle(void* handle) override { graphics_ = handle; }

private:
    HWND window_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    void* graphics_ = nullptr;
};
}  // namespace varnel
