#include "graphics/canvas/canvas.h"
#include "graphics/canvas/canvas_internal.h"

// The imaging operations that carry text: the narrow text is widened at the
// call and its length in UTF-16 units goes with it.
namespace varnel {

using namespace canvas_detail;

namespace flat = Gdiplus::DllExports;

namespace {
class WideText {
public:
    explicit WideText(const std::string& text) : bytes_(ToWideText(text)) {}
    const WCHAR* get() const { return reinterpret_cast<const WCHAR*>(bytes_.data()); }
    INT length() const { return lstrlenW(get()); }

private:
    Bytes bytes_;
};
}  // namespace

bool Canvas::DrawString(const std::string& text, const GraphicsObject& font, const GraphicsObject& brush,
                        const Gdiplus::RectF& layout, const GraphicsObject& format) {
    const WideText wide(text);
    return Record(flat::GdipDrawString(graphics_, wide.get(), wide.length(), Native(font), &layout, Native(format),
                                       Native(brush)));
}

bool Canvas::MeasureString(const std::string& text, const GraphicsObject& font, const Gdiplus::RectF& layout,
                           const GraphicsObject& format, Gdiplus::RectF& box) {
    const WideText wide(text);
    return Record(flat::GdipMeasureString(graphics_, wide.get(), wide.length(), Native(font), &layout,
                                          Native(format), &box, nullptr, nullptr));
}

// The platform fills regions that must already exist, so each one is made
// before the call; the region objects take them only when the call worked,
// and otherwise they are deleted here.
bool Canvas::MeasureRanges(const std::string& text, const GraphicsObject& font, const Gdiplus::RectF& layout,
                           const GraphicsObject& format, const std::vector<GraphicsObject*>& regions) {
    std::vector<Gdiplus::GpRegion*> made;
    made.reserve(regions.size());
    Gdiplus::Status status = Gdiplus::Ok;
    for (size_t i = 0; i < regions.size() && status == Gdiplus::Ok; ++i) {
        Gdiplus::GpRegion* region = nullptr;
        status = flat::GdipCreateRegion(&region);
        if (status == Gdiplus::Ok) made.push_back(region);
    }
    if (status == Gdiplus::Ok) {
        const WideText wide(text);
        status = flat::GdipMeasureCharacterRanges(graphics_, wide.get(), wide.length(), Native(font), layout,
                                                  Native(format), Count(made), made.empty() ? nullptr : made.data());
    }
    if (status != Gdiplus::Ok) {
        for (Gdiplus::GpRegion* region : made) flat::GdipDeleteRegion(region);
        return Record(status);
    }
    for (size_t i = 0; i < made.size(); ++i) regions[i]->SetNativeHandle(made[i]);
    return Record(status);
}

// The platform reads one position per character (or only the first with
// realized advances) without being told how many there are, so fewer
// positions than that are refused instead of read past.
bool Canvas::DrawDriverString(const std::string& text, const GraphicsObject& font, const GraphicsObject& brush,
                              const PointFArray& positions, int flags, const GraphicsObject* matrix) {
    const WideText wide(text);
    const size_t needed = (flags & Gdiplus::DriverStringOptionsRealizedAdvance)
                              ? (wide.length() > 0 ? 1 : 0)
                              : static_cast<size_t>(wide.length());
    if (positions.size() < needed) return Record(Gdiplus::InvalidParameter);
    return Record(flat::GdipDrawDriverString(graphics_, reinterpret_cast<const UINT16*>(wide.get()), wide.length(),
                                             Native(font), Native(brush), Items(positions), flags,
                                             Native(matrix)));
}

}  // namespace varnel
