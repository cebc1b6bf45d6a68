#include <doctest.h>

#include "graphics/objects/fonts.h"
#include "platform/handles.h"
#include "tests/objects/objects_helpers.h"

namespace {
// Installed with the build tools; Wine names it by its Chinese name.
const char kFace[] = "WenQuanYi Micro Hei";
const char kChineseFace[] = "文泉驿微米黑";
}  // namespace

using namespace varnel;

TEST_CASE("a family found by name among the installed fonts") {
    FontCollection installed;
    FontFamily family;
    REQUIRE(family.CreateFromName(kFace, installed));
    // The name comes back in the ANSI code page it was given in.
    CHECK(family.GetFamilyName() == kChineseFace);
    FontFamily byChineseName;
    REQUIRE(byChineseName.CreateFromName(kChineseFace, installed));
    CHECK(byChineseName.GetFamilyName() == kChineseFace);

    CHECK(family.IsStyleAvailable(Gdiplus::FontStyleRegular));
    CHECK(lastStatus == Gdiplus::Ok);
    int em = family.GetEmHeight(Gdiplus::FontStyleRegular);
    CHECK(em > 0);
    CHECK(family.GetCellAscent(Gdiplus::FontStyleRegular) > 0);
    CHECK(family.GetCellDescent(Gdiplus::FontStyleRegular) > 0);
    CHECK(family.GetLineSpacing(Gdiplus::FontStyleRegular) >= em);

    FontFamily missing;
    CHECK_FALSE(missing.CreateFromName("No Such Face Anywhere", installed));
    CHECK(lastStatus == Gdiplus::FontFamilyNotFound);
    CHECK(missing.GetNativeHandle() == nullptr);
    CHECK(missing.GetEmHeight(0) == 0);
    CHECK(lastStatus != Gdiplus::Ok);
}

TEST_CASE("the generic families and clones of families") {
    // Wine finds the generic faces only when its own fonts are installed.
    FontFamily family;
    for (bool (FontFamily::*create)() :
         {&FontFamily::CreateGenericSansSerif, &FontFamily::CreateGenericSerif, &FontFamily::CreateGenericMonospace}) {
        if ((family.*create)())
            CHECK_FALSE(family.GetFamilyName().empty());
        else
            CHECK(lastStatus == Gdiplus::FontFamilyNotFound);
    }
    FontCollection installed;
    REQUIRE(family.CreateFromName(kFace, installed));
    FontFamily target;
    REQUIRE(target.CreateFromName(kFace, installed));
    // Wine's families are counted: a clone may be the same pointer.
    REQUIRE(family.CloneInto(target));
    CHECK(family.Delete());
    CHECK(target.GetFamilyName() == kChineseFace);
}

TEST_CASE("the installed collection lists families each object owns") {
    FontCollection collection;
    Gdiplus::GpFontCollection* installed = nullptr;
    REQUIRE(Gdiplus::DllExports::GdipNewInstalledFontCollection(&installed) == Gdiplus::Ok);
    collection.SetNativeHandle(installed);
    int count = collection.GetFamilyCount();
    REQUIRE(count > 2);

    std::vector<std::unique_ptr<FontFamily>> families;
    families.push_back(std::make_unique<FontFamily>());
    CHECK(collection.GetFamilies(0, families) == 0);
    CHECK(lastStatus == kInvalidParameter);
    CHECK(families.size() == 1);

    CHECK(collection.GetFamilies(3, families) == 3);
    REQUIRE(families.size() == 3);
    std::string firstName = families[0]->GetFamilyName();
    CHECK_FALSE(firstName.empty());
    // The objects delete their families; the collection's stay intact.
    families.clear();
    CHECK(collection.GetFamilies(count + 2, families) == count);
    CHECK(families.size() == static_cast<size_t>(count + 2));
    CHECK(families[0]->GetFamilyName() == firstName);
    CHECK(families[static_cast<size_t>(count)]->GetNativeHandle() == nullptr);

    FontCollection empty;
    CHECK(empty.GetFamilyCount() == 0);
    CHECK(lastStatus != Gdiplus::Ok);
}

TEST_CASE("fonts from a family outlive the family") {
    FontCollection installed;
    FontFamily family;
    REQUIRE(family.CreateFromName(kFace, installed));
    Font font;
    REQUIRE(font.Create(family, 24.0f, Gdiplus::FontStyleBold, Gdiplus::UnitPixel));
    CHECK(family.Delete());
    CHECK(font.GetSize() == 24.0f);
    CHECK(font.GetStyle() == Gdiplus::FontStyleBold);
    CHECK(font.GetUnit() == Gdiplus::UnitPixel);
    CHECK(font.GetHeightGivenDpi(96.0f) > 24.0f);
    test::TestGraphics graphics;
    CHECK(font.GetHeightFor(&graphics) > 0.0f);
    FontFamily ofFont;
    REQUIRE(font.GetFamilyInto(ofFont));
    CHECK(ofFont.GetFamilyName() == kChineseFace);

    Bytes logFont(10);
    REQUIRE(font.GetLogFont(&graphics, logFont));
    REQUIRE(logFont.size() == sizeof(LOGFONTA));
    const auto* read = reinterpret_cast<const LOGFONTA*>(logFont.data());
    CHECK(std::string(read->lfFaceName) == kChineseFace);
    CHECK(read->lfWeight >= FW_BOLD);

    // Defaults: regular, in points.
    REQUIRE(family.CreateFromName(kFace, installed));
    Font plain;
    REQUIRE(plain.Create(family, 10.0f));
    CHECK(plain.GetStyle() == Gdiplus::FontStyleRegular);
    CHECK(plain.GetUnit() == Gdiplus::UnitPoint);

    Font clone;
    REQUIRE(plain.CreateFromName(kFace, 8.0f));
    REQUIRE(font.CloneInto(clone));
    CHECK(clone.GetSize() == 24.0f);
    CHECK(plain.GetSize() == 8.0f);

    FontFamily none;
    Font fromNothing;
    CHECK_FALSE(fromNothing.Create(none, 12.0f));
    CHECK(fromNothing.GetNativeHandle() == nullptr);
}

TEST_CASE("fonts by name, from the stock font and from device contexts") {
    Font font;
    REQUIRE(font.CreateFromName(kFace, 16.0f, Gdiplus::FontStyleItalic, Gdiplus::UnitPixel));
    CHECK(font.GetStyle() == Gdiplus::FontStyleItalic);
    CHECK_FALSE(font.CreateFromName("No Such Face Anywhere", 16.0f));
    CHECK(font.GetNativeHandle() == nullptr);

    REQUIRE(font.CreateDefault());
    CHECK(font.GetSize() > 0.0f);

    WindowDc screen(nullptr);
    REQUIRE(font.CreateFromDc(screen.get()));
    CHECK(font.GetSize() > 0.0f);

    LOGFONTA description{};
    description.lfHeight = -20;
    description.lfWeight = FW_NORMAL;
    description.lfCharSet = DEFAULT_CHARSET;
    lstrcpyA(description.lfFaceName, kChineseFace);
    FontHandle gdiFont(CreateFontIndirectA(&description));
    REQUIRE(font.CreateFromDcAndFont(screen.get(), gdiFont.handle()));
    FontFamily family;
    REQUIRE(font.GetFamilyInto(family));
    CHECK(family.GetFamilyName() == kChineseFace);
    REQUIRE(font.CreateFromDcAndFont(screen.get(), nullptr));

    REQUIRE(font.CreateFromLogFont(screen.get(), &description));
    REQUIRE(font.GetFamilyInto(family));
    CHECK(family.GetFamilyName() == kChineseFace);
    REQUIRE(font.CreateFromLogFont(screen.get(), nullptr));
    CHECK(font.Delete());
}

TEST_CASE("a font by name reports the font's creation, not the family's deletion") {
    Font font;
    REQUIRE(font.CreateFromName(kFace, 12.0f, Gdiplus::FontStyleBold, Gdiplus::UnitPixel));
    // The family is found and deleted fine; the font alone fails (a size
    // below zero makes none), and the last status is the family's deletion.
    CHECK_FALSE(font.CreateFromName(kFace, -1.0f));
    CHECK(font.GetNativeHandle() == nullptr);
    CHECK(lastStatus == Gdiplus::Ok);
    // Without a family the font cannot be made, and the status says why.
    CHECK_FALSE(font.CreateFromName("No Such Face Anywhere", 12.0f));
    CHECK(lastStatus == kInvalidParameter);
}
