#include "graphics/objects/region.h"

namespace varnel {

using namespace Gdiplus::DllExports;

namespace {
template <typename P>
P* HandleOf(const GraphicsObject* object) {
    return object ? static_cast<P*>(object->GetNativeHandle()) : nullptr;
}
Gdiplus::GpGraphics* GraphicsOf(const GraphicsObject* object) { return HandleOf<Gdiplus::GpGraphics>(object); }
Gdiplus::GpMatrix* MatrixOf(const GraphicsObject* object) { return HandleOf<Gdiplus::GpMatrix>(object); }
Gdiplus::GpPath* PathOf(const GraphicsObject* object) { return HandleOf<Gdiplus::GpPath>(object); }
Gdiplus::CombineMode Mode(int32_t mode) { return static_cast<Gdiplus::CombineMode>(mode); }
size_t WrittenScans(INT written, UINT room) {
    if (written <= 0) return 0;
    return static_cast<UINT>(written) < room ? static_cast<size_t>(written) : room;
}
}  // namespace

Region::~Region() { Delete(); }

bool Region::Delete() {
    return DeleteShape(region_, [](Gdiplus::GpRegion* region) { return GdipDeleteRegion(region); });
}

bool Region::CreateInfinite() {
    Delete();
    return CreateShape(region_, [](Gdiplus::GpRegion** out) { return GdipCreateRegion(out); });
}

bool Region::CreateFromRect(const Gdiplus::RectF& rect) {
    Delete();
    return CreateShape(region_, [&](Gdiplus::GpRegion** out) { return GdipCreateRegionRect(&rect, out); });
}

bool Region::CreateFromRectI(const Gdiplus::Rect& rect) {
    Delete();
    return CreateShape(region_, [&](Gdiplus::GpRegion** out) { return GdipCreateRegionRectI(&rect, out); });
}

bool Region::CreateFromPath(const GraphicsObject* path) {
    Delete();
    return CreateShape(region_, [&](Gdiplus::GpRegion** out) { return GdipCreateRegionPath(PathOf(path), out); });
}

bool Region::CreateFromHrgn(HRGN region) {
    Delete();
    return CreateShape(region_, [&](Gdiplus::GpRegion** out) { return GdipCreateRegionHrgn(region, out); });
}

bool Region::CreateFromData(const Bytes& data, int32_t count) {
    Delete();
    if (count < 0) count = static_cast<int32_t>(data.size());
    // The platform would read count bytes whatever the array holds.
    if (static_cast<size_t>(count) > data.size()) return Record(kInvalidParameter);
    return CreateShape(region_, [&](Gdiplus::GpRegion** out) {
        return GdipCreateRegionRgnData(data.empty() ? nullptr : data.data(), count, out);
    });
}

bool Region::CloneInto(Region& target) {
    return CloneShape<Gdiplus::GpRegion>(target, &Region::Delete,
                                         [&](Gdiplus::GpRegion** out) { return GdipCloneRegion(region_, out); });
}

bool Region::MakeInfinite() { return Record(GdipSetInfinite(region_)); }

bool Region::MakeEmpty() { return Record(GdipSetEmpty(region_)); }

bool Region::CombineRect(const Gdiplus::RectF& rect, int32_t mode) {
    return Record(GdipCombineRegionRect(region_, &rect, Mode(mode)));
}

bool Region::CombineRectI(const Gdiplus::Rect& rect, int32_t mode) {
    return Record(GdipCombineRegionRectI(region_, &rect, Mode(mode)));
}

bool Region::CombineRegion(const Region& other, int32_t mode) {
    return Record(GdipCombineRegionRegion(region_, HandleOf<Gdiplus::GpRegion>(&other), Mode(mode)));
}

bool Region::CombinePath(const GraphicsObject* path, int32_t mode) {
    return Record(GdipCombineRegionPath(region_, PathOf(path), Mode(mode)));
}

bool Region::Translate(float dx, float dy) { return Record(GdipTranslateRegion(region_, dx, dy)); }

bool Region::TranslateI(int32_t dx, int32_t dy) { return Record(GdipTranslateRegionI(region_, dx, dy)); }

bool Region::Transform(const GraphicsObject* matrix) { return Record(GdipTransformRegion(region_, MatrixOf(matrix))); }

Gdiplus::RectF Region::GetBounds(const GraphicsObject* graphics) {
    return GetShape<Gdiplus::RectF>(
        [&](Gdiplus::RectF* out) { return GdipGetRegionBounds(region_, GraphicsOf(graphics), out); });
}

Gdiplus::Rect Region::GetBoundsI(const GraphicsObject* graphics) {
    return GetShape<Gdiplus::Rect>(
        [&](Gdiplus::Rect* out) { return GdipGetRegionBoundsI(region_, GraphicsOf(graphics), out); });
}

uint32_t Region::GetDataSize() {
    return GetShape<UINT>([&](UINT* out) { return GdipGetRegionDataSize(region_, out); });
}

Bytes Region::GetData(int32_t bufferSize, uint32_t* written) {
    if (written) *written = 0;
    if (bufferSize < 0) {
        Record(kInvalidParameter);
        return {};
    }
    Bytes data(static_cast<size_t>(bufferSize), 0);
    UINT filled = 0;
    Record(GdipGetRegionData(region_, data.empty() ? nullptr : data.data(), static_cast<UINT>(bufferSize), &filled));
    if (written) *written = filled;
    return data;
}

HRGN Region::GetHrgn(const GraphicsObject* graphics) {
    return GetShape<HRGN>([&](HRGN* out) { return GdipGetRegionHRgn(region_, GraphicsOf(graphics), out); });
}

bool Region::IsEmpty(const GraphicsObject* graphics) {
    return TestShape([&](BOOL* out) { return GdipIsEmptyRegion(region_, GraphicsOf(graphics), out); });
}

bool Region::IsInfinite(const GraphicsObject* graphics) {
    return TestShape([&](BOOL* out) { return GdipIsInfiniteRegion(region_, GraphicsOf(graphics), out); });
}

bool Region::IsEqual(const Region& other, const GraphicsObject* graphics) {
    return TestShape([&](BOOL* out) {
        return GdipIsEqualRegion(region_, HandleOf<Gdiplus::GpRegion>(&other), GraphicsOf(graphics), out);
    });
}

bool Region::IsVisiblePoint(const Gdiplus::PointF& point, const GraphicsObject* graphics) {
    return TestShape(
        [&](BOOL* out) { return GdipIsVisibleRegionPoint(region_, point.X, point.Y, GraphicsOf(graphics), out); });
}

bool Region::IsVisiblePointI(const Gdiplus::Point& point, const GraphicsObject* graphics) {
    return TestShape(
        [&](BOOL* out) { return GdipIsVisibleRegionPointI(region_, point.X, point.Y, GraphicsOf(graphics), out); });
}

bool Region::IsVisibleRect(const Gdiplus::RectF& rect, const GraphicsObject* graphics) {
    return TestShape([&](BOOL* out) {
        return GdipIsVisibleRegionRect(region_, rect.X, rect.Y, rect.Width, rect.Height, GraphicsOf(graphics), out);
    });
}

bool Region::IsVisibleRectI(const Gdiplus::Rect& rect, const GraphicsObject* graphics) {
    return TestShape([&](BOOL* out) {
        return GdipIsVisibleRegionRectI(region_, rect.X, rect.Y, rect.Width, rect.Height, GraphicsOf(graphics), out);
    });
}

uint32_t Region::GetScansCount(const GraphicsObject* matrix) {
    return GetShape<UINT>([&](UINT* out) { return GdipGetRegionScansCount(region_, out, MatrixOf(matrix)); });
}

std::vector<Gdiplus::RectF> Region::GetScans(const GraphicsObject* matrix) {
    UINT count = GetScansCount(matrix);
    if (lastStatus != Gdiplus::Ok || !count) return {};
    std::vector<Gdiplus::RectF> scans(count);
    INT written = static_cast<INT>(count);
    if (!Record(GdipGetRegionScans(region_, scans.data(), &written, MatrixOf(matrix)))) return {};
    scans.resize(WrittenScans(written, count));
    return scans;
}

std::vector<Gdiplus::Rect> Region::GetScansI(const GraphicsObject* matrix) {
    UINT count = GetScansCount(matrix);
    if (lastStatus != Gdiplus::Ok || !count) return {};
    std::vector<Gdiplus::Rect> scans(count);
    INT written = static_cast<INT>(count);
    if (!Record(GdipGetRegionScansI(region_, scans.data(), &written, MatrixOf(matrix)))) return {};
    scans.resize(WrittenScans(written, count));
    return scans;
}

}  // namespace varnel
