#pragma once
// Owners of the imaging service's graphics contexts and image attributes, for
// this layer and the ones above it; like every owner they free in the
// destructor and cannot be copied.
#include "platform/gdiplus_flat.h"
#include "platform/handles.h"

namespace varnel {

struct GraphicsTraits {
    static Gdiplus::GpGraphics* Invalid() { return nullptr; }
    static void Close(Gdiplus::GpGraphics* g) { Gdiplus::DllExports::GdipDeleteGraphics(g); }
};
struct ImageAttributesTraits {
    static Gdiplus::GpImageAttributes* Invalid() { return nullptr; }
    static void Close(Gdiplus::GpImageAttributes* a) { Gdiplus::DllExports::GdipDisposeImageAttributes(a); }
};

using GraphicsOwner = UniqueHandle<Gdiplus::GpGraphics*, GraphicsTraits>;
using ImageAttributesOwner = UniqueHandle<Gdiplus::GpImageAttributes*, ImageAttributesTraits>;

// Each is empty when the service refuses; what it left in a failed call's
// out-parameter is still freed.
inline GraphicsOwner GraphicsOnDc(HDC dc) {
    Gdiplus::GpGraphics* graphics = nullptr;
    const Gdiplus::Status status = Gdiplus::DllExports::GdipCreateFromHDC(dc, &graphics);
    GraphicsOwner owner(graphics);
    if (status != Gdiplus::Ok) owner.reset();
    return owner;
}

inline GraphicsOwner GraphicsOnImage(Gdiplus::GpImage* image) {
    Gdiplus::GpGraphics* graphics = nullptr;
    const Gdiplus::Status status = Gdiplus::DllExports::GdipGetImageGraphicsContext(image, &graphics);
    GraphicsOwner owner(graphics);
    if (status != Gdiplus::Ok) owner.reset();
    return owner;
}

inline ImageAttributesOwner NewImageAttributes() {
    Gdiplus::GpImageAttributes* attributes = nullptr;
    const Gdiplus::Status status = Gdiplus::DllExports::GdipCreateImageAttributes(&attributes);
    ImageAttributesOwner owner(attributes);
    if (status != Gdiplus::Ok) owner.reset();
    return owner;
}

}  // namespace varnel
