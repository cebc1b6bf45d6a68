#include "graphics/objects/string_format.h"

namespace varnel {

using namespace Gdiplus::DllExports;

StringFormat::~StringFormat() { Delete(); }

bool StringFormat::Delete() {
    return DeleteShape(format_, [](Gdiplus::GpStringFormat* format) { return GdipDeleteStringFormat(format); });
}

bool StringFormat::Create(int32_t flags, int32_t language) {
    Delete();
    return CreateShape(format_, [&](Gdiplus::GpStringFormat** out) {
        return GdipCreateStringFormat(flags, static_cast<LANGID>(language), out);
    });
}

namespace {
// The generic formats are one object for the whole process: a change made
// through one holder would show in every other. Each object owns a copy.
template <typename Get>
Gdiplus::GpStatus CopyOfGeneric(Get getGeneric, Gdiplus::GpStringFormat** out) {
    Gdiplus::GpStringFormat* shared = nullptr;
    Gdiplus::GpStatus status = getGeneric(&shared);
    if (status != Gdiplus::Ok) return status;
    return GdipCloneStringFormat(shared, out);
}
}  // namespace

bool StringFormat::CreateGenericDefault() {
    Delete();
    return CreateShape(format_, [](Gdiplus::GpStringFormat** out) {
        return CopyOfGeneric(GdipStringFormatGetGenericDefault, out);
    });
}

bool StringFormat::CreateGenericTypographic() {
    Delete();
    return CreateShape(format_, [](Gdiplus::GpStringFormat** out) {
        return CopyOfGeneric(GdipStringFormatGetGenericTypographic, out);
    });
}

bool StringFormat::CloneInto(StringFormat& target) {
    return CloneShape<Gdiplus::GpStringFormat>(target, &StringFormat::Delete, [&](Gdiplus::GpStringFormat** out) {
        return GdipCloneStringFormat(format_, out);
    });
}

bool StringFormat::SetFlags(int32_t flags) { return Record(GdipSetStringFormatFlags(format_, flags)); }

int32_t StringFormat::GetFlags() {
    return GetShape<INT>([&](INT* out) { return GdipGetStringFormatFlags(format_, out); });
}

bool StringFormat::SetAlignment(int32_t alignment) {
    return Record(GdipSetStringFormatAlign(format_, static_cast<Gdiplus::StringAlignment>(alignment)));
}

int32_t StringFormat::GetAlignment() {
    return GetShape<Gdiplus::StringAlignment>(
        [&](Gdiplus::StringAlignment* out) { return GdipGetStringFormatAlign(format_, out); });
}

bool StringFormat::SetLineAlignment(int32_t alignment) {
    return Record(GdipSetStringFormatLineAlign(format_, static_cast<Gdiplus::StringAlignment>(alignment)));
}

int32_t StringFormat::GetLineAlignment() {
    return GetShape<Gdiplus::StringAlignment>(
        [&](Gdiplus::StringAlignment* out) { return GdipGetStringFormatLineAlign(format_, out); });
}

bool StringFormat::SetTrimming(int32_t trimming) {
    return Record(GdipSetStringFormatTrimming(format_, static_cast<Gdiplus::StringTrimming>(trimming)));
}

int32_t StringFormat::GetTrimming() {
    return GetShape<Gdiplus::StringTrimming>(
        [&](Gdiplus::StringTrimming* out) { return GdipGetStringFormatTrimming(format_, out); });
}

bool StringFormat::SetHotkeyPrefix(int32_t prefix) { return Record(GdipSetStringFormatHotkeyPrefix(format_, prefix)); }

int32_t StringFormat::GetHotkeyPrefix() {
    return GetShape<INT>([&](INT* out) { return GdipGetStringFormatHotkeyPrefix(format_, out); });
}

bool StringFormat::SetTabStops(float firstOffset, const std::vector<float>& stops) {
    return Record(GdipSetStringFormatTabStops(format_, firstOffset, static_cast<INT>(stops.size()), stops.data()));
}

int32_t StringFormat::GetTabStops(float& firstOffset, std::vector<float>& stops) {
    INT count = GetShape<INT>([&](INT* out) { return GdipGetStringFormatTabStopCount(format_, out); });
    if (lastStatus != Gdiplus::Ok) return 0;
    stops.assign(static_cast<size_t>(count > 0 ? count : 0), 0.0f);
    if (stops.empty()) return 0;
    Record(GdipGetStringFormatTabStops(format_, count, &firstOffset, stops.data()));
    return count;
}

bool StringFormat::SetDigitSubstitution(int32_t method, int32_t language) {
    // The platform takes the language first.
    return Record(GdipSetStringFormatDigitSubstitution(format_, static_cast<LANGID>(language),
                                                       static_cast<Gdiplus::StringDigitSubstitute>(method)));
}

bool StringFormat::GetDigitSubstitution(int32_t& method, int32_t& language) {
    LANGID platformLanguage = 0;
    Gdiplus::StringDigitSubstitute platformMethod = Gdiplus::StringDigitSubstituteUser;
    bool ok = Record(GdipGetStringFormatDigitSubstitution(format_, &platformLanguage, &platformMethod));
    method = static_cast<int32_t>(platformMethod);
    language = static_cast<int32_t>(platformLanguage);
    return ok;
}

bool StringFormat::SetMeasurableCharacterRanges(const std::vector<Gdiplus::CharacterRange>& ranges) {
    return Record(
        GdipSetStringFormatMeasurableCharacterRanges(format_, static_cast<INT>(ranges.size()), ranges.data()));
}

int32_t StringFormat::GetMeasurableCharacterRangeCount() {
    return GetShape<INT>([&](INT* out) { return GdipGetStringFormatMeasurableCharacterRangeCount(format_, out); });
}

}  // namespace varnel
