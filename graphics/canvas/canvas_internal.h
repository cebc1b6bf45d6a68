#pragma once
// Shared by the canvas's source files only: how arguments reach the platform
// (object handles, arrays, parallelograms, truncated sums) and the frame that
// puts a pen or brush into a DC around one classic drawing call.
#include <windows.h>

#include <array>
#include <climits>
#include <cmath>
#include <optional>
#include <vector>

#include "graphics/objects/graphics_object.h"
#include "platform/gdiplus_flat.h"
#include "platform/handles.h"

namespace varnel::canvas_detail {

// An object's platform pointer, converting to whichever GDI+ handle type the
// flat function asks for; an absent optional object passes null.
class NativeArg {
public:
    explicit NativeArg(void* handle) : handle_(handle) {}
    template <typename T>
    operator T*() const {
        return static_cast<T*>(handle_);
    }

private:
    void* handle_;
};
inline NativeArg Native(const GraphicsObject& object) { return NativeArg(object.GetNativeHandle()); }
inline NativeArg Native(const GraphicsObject* object) {
    return NativeArg(object ? object->GetNativeHandle() : nullptr);
}

// Arrays go to the platform as their contiguous elements and their count:
// no buffer at all for an empty array, and a count the platform's INT can
// hold (a shorter count never reads past the end).
template <typename T>
const T* Items(const std::vector<T>& items) {
    return items.empty() ? nullptr : items.data();
}
template <typename T>
T* Items(std::vector<T>& items) {
    return items.empty() ? nullptr : items.data();
}
template <typename T>
INT Count(const std::vector<T>& items) {
    return items.size() > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<INT>(items.size());
}

// Upper-left, upper-right and lower-left corners of a destination
// parallelogram, as the image-by-points calls take them.
inline std::array<Gdiplus::PointF, 3> Parallelogram(float x1, float y1, float x2, float y2, float x3, float y3) {
    return {Gdiplus::PointF(x1, y1), Gdiplus::PointF(x2, y2), Gdiplus::PointF(x3, y3)};
}
inline std::array<Gdiplus::Point, 3> Parallelogram(int x1, int y1, int x2, int y2, int x3, int y3) {
    return {Gdiplus::Point(x1, y1), Gdiplus::Point(x2, y2), Gdiplus::Point(x3, y3)};
}

// Real to integer toward zero, held inside the INT range so that huge or
// non-finite values cannot make the conversion undefined.
inline int Truncate(double value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);
}
inline int Sum(int a, int b) { return Truncate(static_cast<double>(a) + static_cast<double>(b)); }

// A classic call's failure text when it returned zero, otherwise none.
inline const char* Check(BOOL result, const char* failure) { return result ? nullptr : failure; }

extern const char* const kPenSelectFailed;
extern const char* const kBrushSelectFailed;

// What a classic shape puts into the DC around its call: its pen with the
// hollow stock brush (outline only), its pen alone, the invisible pen with its
// brush (fill only), its brush alone, or nothing.
enum class Tools { PenOnly, PenSelected, BrushOnly, BrushSelected, None };

// Selects the tools, runs the call (which answers its failure text or null)
// and puts the DC's previous objects back on every path.
template <typename Body>
bool DrawFramed(HDC dc, Tools tools, HGDIOBJ tool, Body body, const char* selectFailed = nullptr) {
    Pen invisiblePen;  // outlives the selection that holds it
    std::optional<SelectScope> pen;
    std::optional<SelectScope> brush;
    switch (tools) {
    case Tools::PenOnly:
    case Tools::PenSelected:
        pen.emplace(dc, tool);
        if (tools == Tools::PenOnly) brush.emplace(dc, GetStockObject(NULL_BRUSH));
        if (!pen->ok()) {
            AppendErrorText(selectFailed ? selectFailed : kPenSelectFailed);
            return false;
        }
        break;
    case Tools::BrushOnly:
    case Tools::BrushSelected:
        if (tools == Tools::BrushOnly) {
            invisiblePen.reset(CreatePen(PS_NULL, 0, 0));
            pen.emplace(dc, invisiblePen.get());
        }
        brush.emplace(dc, tool);
        if (!brush->ok()) {
            AppendErrorText(selectFailed ? selectFailed : kBrushSelectFailed);
            return false;
        }
        break;
    case Tools::None: break;
    }
    if (const char* failed = body()) {
        AppendErrorText(failed);
        return false;
    }
    return true;
}

}  // namespace varnel::canvas_detail
