#include <doctest.h>

#include "graphics/objects/fonts.h"
#include "graphics/objects/graphics_object.h"
#include "graphics/objects/region.h"
#include "graphics/objects/string_format.h"

using namespace varnel;

namespace {
// Counts the delete operations a create makes through the virtual call.
class CountingFormat : public StringFormat {
public:
    bool Delete() override {
        ++deletes;
        heldWhenDeleted = GetNativeHandle() != nullptr;
        return StringFormat::Delete();
    }
    int deletes = 0;
    bool heldWhenDeleted = false;
};
}  // namespace

TEST_CASE("wide text is always terminated and sized in whole units") {
    CHECK(ToWideText("").size() == 2);
    CHECK(ToWideText("") == Bytes{0, 0});
    Bytes abc = ToWideText("abc");
    REQUIRE(abc.size() == 8);
    CHECK(abc == Bytes{'a', 0, 'b', 0, 'c', 0, 0, 0});
    // An embedded zero ends the text, as it does for the platform.
    std::string cut("ab\0cd", 5);
    CHECK(ToWideText(cut) == Bytes{'a', 0, 'b', 0, 0, 0});
}

// The ANSI and OEM code pages are both 936 here, so only the round trip
// itself is pinned down.
TEST_CASE("a GBK name makes the round trip through wide text") {
    const std::string name = "文泉驿微米黑";
    Bytes wide = ToWideText(name);
    CHECK(wide.size() == 14);  // six characters and the terminator
    CHECK(FromWideText(reinterpret_cast<const wchar_t*>(wide.data())) == name);
    CHECK(FromWideText(L"") == "");
    CHECK(FromWideText(nullptr) == "");
}

TEST_CASE("the failure text replaces, appends and is released") {
    SetErrorText("first");
    AppendErrorText("+second");
    CHECK(errorText() == "first+second");
    SetErrorText("third");
    CHECK(errorText() == "third");
    ReleaseErrorText();
    CHECK(errorText().empty());
}

TEST_CASE("create deletes what the object held, through its own delete") {
    CountingFormat format;
    REQUIRE(format.Create(0, 0));
    CHECK(format.deletes == 1);
    CHECK_FALSE(format.heldWhenDeleted);
    REQUIRE(format.CreateGenericTypographic());
    CHECK(format.deletes == 2);
    CHECK(format.heldWhenDeleted);
    CHECK(format.GetNativeHandle() != nullptr);
    CHECK(lastStatus == Gdiplus::Ok);
}

TEST_CASE("deleting an empty object fails and leaves the last status alone") {
    lastStatus = 1234;
    StringFormat format;
    CHECK_FALSE(format.Delete());
    Font font;
    CHECK_FALSE(font.Delete());
    Region region;
    CHECK_FALSE(region.Delete());
    CHECK(lastStatus == 1234);
}

TEST_CASE("clone into gives the target the clone in place of what it held") {
    StringFormat source;
    REQUIRE(source.Create(Gdiplus::StringFormatFlagsNoWrap, 0));
    REQUIRE(source.SetAlignment(Gdiplus::StringAlignmentFar));
    CountingFormat target;
    REQUIRE(target.CreateGenericDefault());
    void* before = target.GetNativeHandle();
    REQUIRE(source.CloneInto(target));
    // What the target held is deleted through its own delete, not leaked.
    CHECK(target.deletes == 2);
    CHECK(target.heldWhenDeleted);
    CHECK(target.GetNativeHandle() != nullptr);
    CHECK(target.GetNativeHandle() != before);
    CHECK(target.GetNativeHandle() != source.GetNativeHandle());
    CHECK(target.GetAlignment() == Gdiplus::StringAlignmentFar);
    CHECK(target.GetFlags() == Gdiplus::StringFormatFlagsNoWrap);
    // Both are independent owners now.
    CHECK(target.Delete());
    CHECK(source.GetAlignment() == Gdiplus::StringAlignmentFar);

    // Cloning into itself keeps a working object.
    REQUIRE(source.CloneInto(source));
    CHECK(source.GetAlignment() == Gdiplus::StringAlignmentFar);
}

TEST_CASE("a view shares the platform object without owning it") {
    StringFormat source;
    REQUIRE(source.Create(0, 0));
    REQUIRE(source.SetTrimming(Gdiplus::StringTrimmingWord));
    {
        auto view = source.View();
        CHECK(view->IsView());
        CHECK(view->GetNativeHandle() == source.GetNativeHandle());
        CHECK(view->GetTrimming() == Gdiplus::StringTrimmingWord);
        lastStatus = 77;
        // Letting go is all a view's delete does.
        CHECK(view->Delete());
        CHECK(lastStatus == 77);
        CHECK(view->GetNativeHandle() == nullptr);
        // Handed its source's object again, it is still no owner of it.
        auto second = source.View();
        second->SetNativeHandle(source.GetNativeHandle());
        CHECK(second->IsView());
        // What a view creates is its own.
        REQUIRE(view->CreateGenericDefault());
        CHECK_FALSE(view->IsView());
    }
    // Still alive after both views ended.
    CHECK(source.GetTrimming() == Gdiplus::StringTrimmingWord);
    CHECK_FALSE(source.IsView());
    StringFormat empty;
    CHECK_FALSE(empty.View()->IsView());
}
