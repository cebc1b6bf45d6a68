#include <doctest.h>

#include "graphics/objects/string_format.h"

using namespace varnel;

TEST_CASE("each holder of a generic format has its own") {
    // Changing one leaves the platform's generic format and the other
    // holders as they were.
    StringFormat first, second;
    REQUIRE(first.CreateGenericDefault());
    REQUIRE(second.CreateGenericDefault());
    CHECK(first.GetNativeHandle() != second.GetNativeHandle());
    REQUIRE(first.SetAlignment(Gdiplus::StringAlignmentFar));
    CHECK(second.GetAlignment() == Gdiplus::StringAlignmentNear);
    Gdiplus::GpStringFormat* generic = nullptr;
    REQUIRE(Gdiplus::DllExports::GdipStringFormatGetGenericDefault(&generic) == Gdiplus::Ok);
    Gdiplus::StringAlignment alignment = Gdiplus::StringAlignmentFar;
    Gdiplus::DllExports::GdipGetStringFormatAlign(generic, &alignment);
    CHECK(alignment == Gdiplus::StringAlignmentNear);
}

TEST_CASE("tab stops") {
    StringFormat format;
    REQUIRE(format.Create(0, 0));
    float first = -1.0f;
    std::vector<float> stops{9.0f};
    CHECK(format.GetTabStops(first, stops) == 0);
    CHECK(stops.empty());
    REQUIRE(format.SetTabStops(4.0f, {10.0f, 20.0f, 35.0f}));
    CHECK(format.GetTabStops(first, stops) == 3);
    CHECK(first == 4.0f);
    CHECK(stops == std::vector<float>{10.0f, 20.0f, 35.0f});
}

TEST_CASE("digit substitution comes back in the positions it went in") {
    StringFormat format;
    REQUIRE(format.Create(0, 0));
    const int32_t method = Gdiplus::StringDigitSubstituteNational;
    const int32_t language = MAKELANGID(LANG_ARABIC, SUBLANG_ARABIC_EGYPT);
    REQUIRE(format.SetDigitSubstitution(method, language));
    int32_t readMethod = -1, readLanguage = -1;
    REQUIRE(format.GetDigitSubstitution(readMethod, readLanguage));
    CHECK(readMethod == method);
    CHECK(readLanguage == language);
}

TEST_CASE("an empty string format reaches the platform as nothing") {
    StringFormat format;
    CHECK_FALSE(format.SetAlignment(Gdiplus::StringAlignmentCenter));
    CHECK(lastStatus == Gdiplus::InvalidParameter);
    CHECK(format.GetFlags() == 0);
    CHECK(lastStatus == Gdiplus::InvalidParameter);
    StringFormat target;
    CHECK_FALSE(format.CloneInto(target));
    CHECK(target.GetNativeHandle() == nullptr);
}
