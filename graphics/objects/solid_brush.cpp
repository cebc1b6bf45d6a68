#include "graphics/objects/solid_brush.h"

namespace varnel {

using namespace Gdiplus::DllExports;

SolidBrush::~SolidBrush() { Delete(); }

bool SolidBrush::Delete() {
    return DeleteShape(brush_, [](Gdiplus::GpBrush* brush) { return GdipDeleteBrush(brush); });
}

bool SolidBrush::CloneInto(SolidBrush& target) {
    return CloneShape<Gdiplus::GpBrush>(target, &SolidBrush::Delete,
                                        [&](Gdiplus::GpBrush** out) { return GdipCloneBrush(brush_, out); });
}

int32_t SolidBrush::GetType() {
    return GetShape<Gdiplus::BrushType>([&](Gdiplus::BrushType* out) { return GdipGetBrushType(brush_, out); });
}

bool SolidBrush::Create(uint32_t argb) {
    Delete();
    return CreateShape(solidFill_, [&](Gdiplus::GpSolidFill** out) { return GdipCreateSolidFill(argb, out); });
}

bool SolidBrush::SetColor(uint32_t argb) { return Record(GdipSetSolidFillColor(solidFill_, argb)); }

uint32_t SolidBrush::GetColor() {
    return GetShape<Gdiplus::ARGB>([&](Gdiplus::ARGB* out) { return GdipGetSolidFillColor(solidFill_, out); });
}

}  // namespace varnel
