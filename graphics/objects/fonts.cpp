#include "graphics/objects/fonts.h"

#include "platform/handles.h"

namespace varnel {

using namespace Gdiplus::DllExports;

namespace {
Gdiplus::GpGraphics* GraphicsOf(const GraphicsObject* graphics) {
    return graphics ? static_cast<Gdiplus::GpGraphics*>(graphics->GetNativeHandle()) : nullptr;
}

// A LOGFONTA from the imaging service's allocator, given back on every path.
class LogFontBlock {
public:
    explicit LogFontBlock(GraphicsObject& owner)
        : owner_(owner), block_(static_cast<LOGFONTA*>(owner.AllocateMemory(sizeof(LOGFONTA)))) {}
    LogFontBlock(const LogFontBlock&) = delete;
    LogFontBlock& operator=(const LogFontBlock&) = delete;
    ~LogFontBlock() {
        if (block_) owner_.FreeMemory(block_);
    }
    LOGFONTA* get() const { return block_; }
    // Fills the block from a GDI font; false when it cannot be read.
    bool ReadFrom(HGDIOBJ font) const { return block_ && GetObjectA(font, sizeof(LOGFONTA), block_) != 0; }

private:
    GraphicsObject& owner_;
    LOGFONTA* block_;
};
}  // namespace

// ---- FontCollection

int32_t FontCollection::GetFamilyCount() {
    return GetShape<INT>([&](INT* out) { return GdipGetFontCollectionFamilyCount(collection_, out); });
}

int32_t FontCollection::GetFamilies(int32_t wanted, std::vector<std::unique_ptr<FontFamily>>& families) {
    if (wanted < 1) {
        lastStatus = kInvalidParameter;
        return 0;
    }
    std::vector<Gdiplus::GpFontFamily*> list(static_cast<size_t>(wanted), nullptr);
    families.clear();
    for (int32_t i = 0; i < wanted; ++i) families.push_back(std::make_unique<FontFamily>());
    INT found = 0;
    int status = GdipGetFontCollectionFamilyList(collection_, wanted, list.data(), &found);
    if (status == Gdiplus::Ok) {
        // The listed families belong to the collection; each object gets its
        // own clone, which its destructor deletes.
        for (int32_t i = 0; i < wanted && i < found; ++i) {
            Gdiplus::GpFontFamily* own = nullptr;
            if (list[static_cast<size_t>(i)]) GdipCloneFontFamily(list[static_cast<size_t>(i)], &own);
            families[static_cast<size_t>(i)]->SetNativeHandle(own);
        }
    }
    lastStatus = status;
    return status == Gdiplus::Ok ? found : 0;
}

// ---- FontFamily

FontFamily::~FontFamily() { Delete(); }

bool FontFamily::Delete() {
    return DeleteShape(family_, [](Gdiplus::GpFontFamily* family) { return GdipDeleteFontFamily(family); });
}

bool FontFamily::CreateFromName(const std::string& name, const FontCollection& collection) {
    Delete();
    Bytes wide = ToWideText(name);
    auto* platformCollection = static_cast<Gdiplus::GpFontCollection*>(collection.GetNativeHandle());
    return CreateShape(family_, [&](Gdiplus::GpFontFamily** out) {
        return GdipCreateFontFamilyFromName(reinterpret_cast<const WCHAR*>(wide.data()), platformCollection, out);
    });
}

bool FontFamily::CreateGenericSansSerif() {
    Delete();
    return CreateShape(family_, [](Gdiplus::GpFontFamily** out) { return GdipGetGenericFontFamilySansSerif(out); });
}

bool FontFamily::CreateGenericSerif() {
    Delete();
    return CreateShape(family_, [](Gdiplus::GpFontFamily** out) { return GdipGetGenericFontFamilySerif(out); });
}

bool FontFamily::CreateGenericMonospace() {
    Delete();
    return CreateShape(family_, [](Gdiplus::GpFontFamily** out) { return GdipGetGenericFontFamilyMonospace(out); });
}

bool FontFamily::CloneInto(FontFamily& target) {
    return CloneShape<Gdiplus::GpFontFamily>(
        target, &FontFamily::Delete, [&](Gdiplus::GpFontFamily** out) { return GdipCloneFontFamily(family_, out); });
}

std::string FontFamily::GetFamilyName() {
    WCHAR name[LF_FACESIZE] = {};
    Record(GdipGetFamilyName(family_, name, LANG_NEUTRAL));
    name[LF_FACESIZE - 1] = 0;
    return FromWideText(name);
}

bool FontFamily::IsStyleAvailable(int32_t style) {
    return TestShape([&](BOOL* out) { return GdipIsStyleAvailable(family_, style, out); });
}

int32_t FontFamily::GetEmHeight(int32_t style) {
    return GetShape<UINT16>([&](UINT16* out) { return GdipGetEmHeight(family_, style, out); });
}

int32_t FontFamily::GetCellAscent(int32_t style) {
    return GetShape<UINT16>([&](UINT16* out) { return GdipGetCellAscent(family_, style, out); });
}

int32_t FontFamily::GetCellDescent(int32_t style) {
    return GetShape<UINT16>([&](UINT16* out) { return GdipGetCellDescent(family_, style, out); });
}

int32_t FontFamily::GetLineSpacing(int32_t style) {
    return GetShape<UINT16>([&](UINT16* out) { return GdipGetLineSpacing(family_, style, out); });
}

// ---- Font

Font::~Font() { Delete(); }

bool Font::Delete() {
    return DeleteShape(font_, [](Gdiplus::GpFont* font) { return GdipDeleteFont(font); });
}

bool Font::Create(const FontFamily& family, float size, int32_t style, int32_t unit) {
    Delete();
    auto* platformFamily = static_cast<Gdiplus::GpFontFamily*>(family.GetNativeHandle());
    return CreateShape(font_, [&](Gdiplus::GpFont** out) {
        return GdipCreateFont(platformFamily, size, style, static_cast<Gdiplus::Unit>(unit), out);
    });
}

bool Font::CreateDefault() {
    Delete();
    HGDIOBJ stock = GetStockObject(DEFAULT_GUI_FONT);
    LogFontBlock logFont(*this);
    if (!logFont.ReadFrom(stock)) return false;
    WindowDc screen(nullptr);
    return CreateShape(font_, [&](Gdiplus::GpFont** out) {
        return GdipCreateFontFromLogfontA(screen.get(), logFont.get(), out);
    });
}

bool Font::CreateFromName(const std::string& name, float size, int32_t style, int32_t unit) {
    FontFamily family;
    Delete();
    {
        FontCollection installed;
        family.CreateFromName(name, installed);
    }
    Gdiplus::GpFont* font = nullptr;
    int status = GdipCreateFont(static_cast<Gdiplus::GpFontFamily*>(family.GetNativeHandle()), size, style,
                                static_cast<Gdiplus::Unit>(unit), &font);
    lastStatus = status;
    SetNativeHandle(font);
    // A font keeps no reference to the family it was made from.
    family.Delete();
    return status == Gdiplus::Ok;
}

bool Font::CreateFromDc(HDC dc) {
    Delete();
    return CreateShape(font_, [&](Gdiplus::GpFont** out) { return GdipCreateFontFromDC(dc, out); });
}

bool Font::CreateFromDcAndFont(HDC dc, HFONT font) {
    Delete();
    if (!font) return CreateShape(font_, [&](Gdiplus::GpFont** out) { return GdipCreateFontFromDC(dc, out); });
    LogFontBlock logFont(*this);
    bool readable = logFont.ReadFrom(font);
    return CreateShape(font_, [&](Gdiplus::GpFont** out) {
        return readable ? GdipCreateFontFromLogfontA(dc, logFont.get(), out) : GdipCreateFontFromDC(dc, out);
    });
}

bool Font::CreateFromLogFont(HDC dc, const LOGFONTA* logFont) {
    Delete();
    return CreateShape(font_, [&](Gdiplus::GpFont** out) {
        return logFont ? GdipCreateFontFromLogfontA(dc, logFont, out) : GdipCreateFontFromDC(dc, out);
    });
}

bool Font::CloneInto(Font& target) {
    return CloneShape<Gdiplus::GpFont>(target, &Font::Delete,
                                       [&](Gdiplus::GpFont** out) { return GdipCloneFont(font_, out); });
}

bool Font::GetFamilyInto(FontFamily& target) {
    return CloneShape<Gdiplus::GpFontFamily>(target, &FontFamily::Delete,
                                             [&](Gdiplus::GpFontFamily** out) { return GdipGetFamily(font_, out); });
}

int32_t Font::GetStyle() {
    return GetShape<INT>([&](INT* out) { return GdipGetFontStyle(font_, out); });
}

float Font::GetSize() {
    return GetShape<Gdiplus::REAL>([&](Gdiplus::REAL* out) { return GdipGetFontSize(font_, out); });
}

int32_t Font::GetUnit() {
    return GetShape<Gdiplus::Unit>([&](Gdiplus::Unit* out) { return GdipGetFontUnit(font_, out); });
}

float Font::GetHeightFor(const GraphicsObject* graphics) {
    return GetShape<Gdiplus::REAL>(
        [&](Gdiplus::REAL* out) { return GdipGetFontHeight(font_, GraphicsOf(graphics), out); });
}

float Font::GetHeightGivenDpi(float dpi) {
    return GetShape<Gdiplus::REAL>([&](Gdiplus::REAL* out) { return GdipGetFontHeightGivenDPI(font_, dpi, out); });
}

bool Font::GetLogFont(const GraphicsObject* graphics, Bytes& logFont) {
    if (logFont.size() < sizeof(LOGFONTA)) logFont.resize(sizeof(LOGFONTA), 0);
    return Record(GdipGetLogFontA(font_, GraphicsOf(graphics), reinterpret_cast<LOGFONTA*>(logFont.data())));
}

}  // namespace varnel
