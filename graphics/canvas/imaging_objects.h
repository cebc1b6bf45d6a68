#pragma once
// The GDI+ pen, path, matrix, cached bitmap, metafile and image attributes the
// canvas's imaging operations take. Each owns one platform object, deletes it
// when created again or destroyed, and hands it out through GetNativeHandle.
#include <array>
#include <string>

#include "graphics/objects/graphics_object.h"
#include "platform/gdiplus_flat.h"

namespace varnel {

template <typename Handle, typename Traits>
class ImagingObject : public GraphicsObject {
public:
    ImagingObject() = default;
    ~ImagingObject() override { Delete(); }

    // False, with the last status untouched, when there is nothing to delete.
    bool Delete() {
        if (!handle_) return false;
        const Gdiplus::Status status = Traits::Delete(handle_);
        SetNativeHandle(nullptr);
        return Record(status);
    }

protected:
    void OnSetNativeHandle(void* handle) override { handle_ = static_cast<Handle*>(handle); }

    // The create shape: what the platform left in the out-parameter is kept
    // (and so owned) even when it failed; the result says whether it worked.
    // The handle is read through the reference, after the call has run, since
    // arguments are evaluated in no fixed order.
    bool Take(Gdiplus::Status status, Handle*& created) {
        SetNativeHandle(created);
        return Record(status);
    }

    Handle* handle_ = nullptr;
};

namespace imaging_traits {
struct Pen {
    static Gdiplus::Status Delete(Gdiplus::GpPen* h) { return Gdiplus::DllExports::GdipDeletePen(h); }
};
struct Path {
    static Gdiplus::Status Delete(Gdiplus::GpPath* h) { return Gdiplus::DllExports::GdipDeletePath(h); }
};
struct Matrix {
    static Gdiplus::Status Delete(Gdiplus::GpMatrix* h) { return Gdiplus::DllExports::GdipDeleteMatrix(h); }
};
struct CachedBitmap {
    static Gdiplus::Status Delete(Gdiplus::GpCachedBitmap* h) {
        return Gdiplus::DllExports::GdipDeleteCachedBitmap(h);
    }
};
struct Metafile {
    static Gdiplus::Status Delete(Gdiplus::GpMetafile* h) { return Gdiplus::DllExports::GdipDisposeImage(h); }
};
struct ImageAttributes {
    static Gdiplus::Status Delete(Gdiplus::GpImageAttributes* h) {
        return Gdiplus::DllExports::GdipDisposeImageAttributes(h);
    }
};
}  // namespace imaging_traits

class ImagingPen : public ImagingObject<Gdiplus::GpPen, imaging_traits::Pen> {
public:
    bool Create(Gdiplus::ARGB color, float width, Gdiplus::Unit unit = Gdiplus::UnitPixel);
};

class GraphicsPath : public ImagingObject<Gdiplus::GpPath, imaging_traits::Path> {
public:
    bool Create(Gdiplus::FillMode fillMode = Gdiplus::FillModeAlternate);
    bool AddRectangle(float x, float y, float width, float height);
    bool AddEllipse(float x, float y, float width, float height);
};

class Matrix : public ImagingObject<Gdiplus::GpMatrix, imaging_traits::Matrix> {
public:
    // The identity.
    bool Create();
    bool CreateFromElements(float m11, float m12, float m21, float m22, float dx, float dy);
    // m11, m12, m21, m22, dx, dy; zeros when the platform gives nothing.
    std::array<float, 6> GetElements() const;
};

class CachedBitmap : public ImagingObject<Gdiplus::GpCachedBitmap, imaging_traits::CachedBitmap> {
public:
    // A copy of the bitmap in the format of the graphics it will be drawn on.
    bool Create(const GraphicsObject& bitmap, const GraphicsObject& graphics);
};

class Metafile : public ImagingObject<Gdiplus::GpMetafile, imaging_traits::Metafile> {
public:
    bool CreateFromFile(const std::string& path);
    // A new, empty EMF+ recording of the given frame (in pixels), in the
    // resolution of the reference device context.
    bool Record(HDC referenceDc, const Gdiplus::RectF& frame);
};

class ImageAttributes : public ImagingObject<Gdiplus::GpImageAttributes, imaging_traits::ImageAttributes> {
public:
    bool Create();
    // Colours from low to high (inclusive, per channel) are drawn transparent.
    bool SetColorKey(Gdiplus::ARGB low, Gdiplus::ARGB high);
    // How the picture continues past its edges while it is sampled.
    bool SetWrapMode(Gdiplus::WrapMode mode);
};

}  // namespace varnel
