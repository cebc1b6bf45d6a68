#pragma once
// Owners of the imaging service's own objects that the flat calls hand out.
#include "platform/gdiplus_flat.h"

namespace varnel {

template <typename T, Gdiplus::Status(WINGDIPAPI* Delete)(T*)>
class GdiplusOwner {
public:
    GdiplusOwner() = default;
    explicit GdiplusOwner(T* value) : value_(value) {}
    GdiplusOwner(const GdiplusOwner&) = delete;
    GdiplusOwner& operator=(const GdiplusOwner&) = delete;
    ~GdiplusOwner() { reset(); }

    T* get() const { return value_; }
    explicit operator bool() const { return value_ != nullptr; }
    // For the flat call that creates the object: frees what was held first.
    T** put() {
        reset();
        return &value_;
    }
    void reset(T* value = nullptr) {
        if (value_) Delete(value_);
        value_ = value;
    }

private:
    T* value_ = nullptr;
};

using GraphicsOwner = GdiplusOwner<Gdiplus::GpGraphics, &Gdiplus::DllExports::GdipDeleteGraphics>;
using ImageAttributesOwner =
    GdiplusOwner<Gdiplus::GpImageAttributes, &Gdiplus::DllExports::GdipDisposeImageAttributes>;

}  // namespace varnel
