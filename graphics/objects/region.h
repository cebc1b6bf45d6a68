#pragma once
// An area of the imaging service built from rectangles, paths, GDI regions or
// saved region data, combined, moved and queried. Paths, matrices, graphics
// and other regions are used through their native handles; a null object
// passes a null handle.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/objects/graphics_object.h"
#include "platform/gdiplus_flat.h"

namespace varnel {

class Region : public GraphicsObject {
public:
    Region() = default;
    ~Region() override;

    std::unique_ptr<Region> View() const { return ViewOf(*this); }

    // Combine modes are the platform's CombineMode; 1 intersects.
    static constexpr int32_t kIntersect = Gdiplus::CombineModeIntersect;

    virtual bool Delete();
    virtual bool CreateInfinite();
    virtual bool CreateFromRect(const Gdiplus::RectF& rect);
    virtual bool CreateFromRectI(const Gdiplus::Rect& rect);
    virtual bool CreateFromPath(const GraphicsObject* path);
    virtual bool CreateFromHrgn(HRGN region);
    // count defaults to the whole array and may not exceed it.
    virtual bool CreateFromData(const Bytes& data, int32_t count = -1);
    virtual bool CloneInto(Region& target);
    virtual bool MakeInfinite();
    virtual bool MakeEmpty();
    virtual bool CombineRect(const Gdiplus::RectF& rect, int32_t mode = kIntersect);
    virtual bool CombineRectI(const Gdiplus::Rect& rect, int32_t mode = kIntersect);
    virtual bool CombineRegion(const Region& other, int32_t mode = kIntersect);
    virtual bool CombinePath(const GraphicsObject* path, int32_t mode = kIntersect);
    virtual bool Translate(float dx, float dy);
    virtual bool TranslateI(int32_t dx, int32_t dy);
    virtual bool Transform(const GraphicsObject* matrix);
    virtual Gdiplus::RectF GetBounds(const GraphicsObject* graphics);
    virtual Gdiplus::Rect GetBoundsI(const GraphicsObject* graphics);
    virtual uint32_t GetDataSize();
    // A bufferSize array; written, when given, receives the bytes filled.
    virtual Bytes GetData(int32_t bufferSize, uint32_t* written = nullptr);
    // The caller owns the returned region.
    virtual HRGN GetHrgn(const GraphicsObject* graphics);
    virtual bool IsEmpty(const GraphicsObject* graphics);
    virtual bool IsInfinite(const GraphicsObject* graphics);
    virtual bool IsEqual(const Region& other, const GraphicsObject* graphics);
    virtual bool IsVisiblePoint(const Gdiplus::PointF& point, const GraphicsObject* graphics);
    virtual bool IsVisiblePointI(const Gdiplus::Point& point, const GraphicsObject* graphics);
    virtual bool IsVisibleRect(const Gdiplus::RectF& rect, const GraphicsObject* graphics);
    virtual bool IsVisibleRectI(const Gdiplus::Rect& rect, const GraphicsObject* graphics);
    virtual uint32_t GetScansCount(const GraphicsObject* matrix);
    virtual std::vector<Gdiplus::RectF> GetScans(const GraphicsObject* matrix);
    virtual std::vector<Gdiplus::Rect> GetScansI(const GraphicsObject* matrix);

protected:
    void OnSetNativeHandle(void* handle) override { region_ = static_cast<Gdiplus::GpRegion*>(handle); }

private:
    Gdiplus::GpRegion* region_ = nullptr;
};

}  // namespace varnel
