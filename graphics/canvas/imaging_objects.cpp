#include "graphics/canvas/imaging_objects.h"

namespace varnel {

namespace flat = Gdiplus::DllExports;

bool ImagingPen::Create(Gdiplus::ARGB color, float width, Gdiplus::Unit unit) {
    Delete();
    Gdiplus::GpPen* created = nullptr;
    return Take(flat::GdipCreatePen1(color, width, unit, &created), created);
}

bool GraphicsPath::Create(Gdiplus::FillMode fillMode) {
    Delete();
    Gdiplus::GpPath* created = nullptr;
    return Take(flat::GdipCreatePath(fillMode, &created), created);
}

bool GraphicsPath::AddRectangle(float x, float y, float width, float height) {
    return Record(flat::GdipAddPathRectangle(handle_, x, y, width, height));
}

bool GraphicsPath::AddEllipse(float x, float y, float width, float height) {
    return Record(flat::GdipAddPathEllipse(handle_, x, y, width, height));
}

bool Matrix::Create() {
    Delete();
    Gdiplus::GpMatrix* created = nullptr;
    return Take(flat::GdipCreateMatrix(&created), created);
}

bool Matrix::CreateFromElements(float m11, float m12, float m21, float m22, float dx, float dy) {
    Delete();
    Gdiplus::GpMatrix* created = nullptr;
    return Take(flat::GdipCreateMatrix2(m11, m12, m21, m22, dx, dy, &created), created);
}

std::array<float, 6> Matrix::GetElements() const {
    std::array<float, 6> elements{};
    Record(flat::GdipGetMatrixElements(handle_, elements.data()));
    return elements;
}

bool CachedBitmap::Create(const GraphicsObject& bitmap, const GraphicsObject& graphics) {
    Delete();
    Gdiplus::GpCachedBitmap* created = nullptr;
    return Take(flat::GdipCreateCachedBitmap(static_cast<Gdiplus::GpBitmap*>(bitmap.GetNativeHandle()),
                                             static_cast<Gdiplus::GpGraphics*>(graphics.GetNativeHandle()),
                                             &created),
                created);
}

bool Metafile::CreateFromFile(const std::string& path) {
    Delete();
    const Bytes wide = ToWideText(path);
    Gdiplus::GpMetafile* created = nullptr;
    return Take(flat::GdipCreateMetafileFromFile(reinterpret_cast<const WCHAR*>(wide.data()), &created), created);
}

bool Metafile::Record(HDC referenceDc, const Gdiplus::RectF& frame) {
    Delete();
    Gdiplus::GpMetafile* created = nullptr;
    return Take(flat::GdipRecordMetafile(referenceDc, Gdiplus::EmfTypeEmfPlusDual, &frame,
                                         Gdiplus::MetafileFrameUnitPixel, nullptr, &created),
                created);
}

bool ImageAttributes::Create() {
    Delete();
    Gdiplus::GpImageAttributes* created = nullptr;
    return Take(flat::GdipCreateImageAttributes(&created), created);
}

bool ImageAttributes::SetWrapMode(Gdiplus::WrapMode mode) {
    return Record(flat::GdipSetImageAttributesWrapMode(handle_, mode, 0, FALSE));
}

bool ImageAttributes::SetColorKey(Gdiplus::ARGB low, Gdiplus::ARGB high) {
    return Record(flat::GdipSetImageAttributesColorKeys(handle_, Gdiplus::ColorAdjustTypeDefault, TRUE, low, high));
}

}  // namespace varnel
