#pragma once
// Font collections, families and fonts of the imaging service. A collection
// that holds nothing stands for the fonts installed on the system.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/objects/graphics_object.h"
#include "platform/gdiplus_flat.h"

namespace varnel {

class FontFamily;

class FontCollection : public GraphicsObject {
public:
    FontCollection() = default;
    // The collection is the platform's or its creator's; it is never deleted here.
    ~FontCollection() override = default;

    std::unique_ptr<FontCollection> View() const { return ViewOf(*this); }

    virtual int32_t GetFamilyCount();
    // Replaces families with wanted new objects; each found family is the
    // object's own clone. Returns the number found.
    virtual int32_t GetFamilies(int32_t wanted, std::vector<std::unique_ptr<FontFamily>>& families);

protected:
    void OnSetNativeHandle(void* handle) override {
        collection_ = static_cast<Gdiplus::GpFontCollection*>(handle);
        OnSetDerivedHandle(handle);
    }
    // For classes built on this one.
    virtual void OnSetDerivedHandle(void*) {}

private:
    Gdiplus::GpFontCollection* collection_ = nullptr;
};

class FontFamily : public GraphicsObject {
public:
    FontFamily() = default;
    ~FontFamily() override;

    std::unique_ptr<FontFamily> View() const { return ViewOf(*this); }

    virtual bool Delete();
    virtual bool CreateFromName(const std::string& name, const FontCollection& collection);
    virtual bool CreateGenericSansSerif();
    virtual bool CreateGenericSerif();
    virtual bool CreateGenericMonospace();
    virtual bool CloneInto(FontFamily& target);
    virtual std::string GetFamilyName();
    virtual bool IsStyleAvailable(int32_t style);
    virtual int32_t GetEmHeight(int32_t style);
    virtual int32_t GetCellAscent(int32_t style);
    virtual int32_t GetCellDescent(int32_t style);
    virtual int32_t GetLineSpacing(int32_t style);

protected:
    void OnSetNativeHandle(void* handle) override { family_ = static_cast<Gdiplus::GpFontFamily*>(handle); }

private:
    Gdiplus::GpFontFamily* family_ = nullptr;
};

class Font : public GraphicsObject {
public:
    Font() = default;
    ~Font() override;

    std::unique_ptr<Font> View() const { return ViewOf(*this); }

    virtual bool Delete();
    // style: FontStyle bits; unit: the platform's Unit (2 pixel, 3 point).
    virtual bool Create(const FontFamily& family, float size, int32_t style = Gdiplus::FontStyleRegular,
                        int32_t unit = Gdiplus::UnitPoint);
    virtual bool CreateDefault();
    virtual bool CreateFromName(const std::string& name, float size, int32_t style = Gdiplus::FontStyleRegular,
                                int32_t unit = Gdiplus::UnitPoint);
    virtual bool CreateFromDc(HDC dc);
    virtual bool CreateFromDcAndFont(HDC dc, HFONT font);
    virtual bool CreateFromLogFont(HDC dc, const LOGFONTA* logFont);
    virtual bool CloneInto(Font& target);
    virtual bool GetFamilyInto(FontFamily& target);
    virtual int32_t GetStyle();
    virtual float GetSize();
    virtual int32_t GetUnit();
    virtual float GetHeightFor(const GraphicsObject* graphics);
    virtual float GetHeightGivenDpi(float dpi);
    // logFont grows to hold a whole LOGFONTA if it is shorter.
    virtual bool GetLogFont(const GraphicsObject* graphics, Bytes& logFont);

protected:
    void OnSetNativeHandle(void* handle) override { font_ = static_cast<Gdiplus::GpFont*>(handle); }

private:
    Gdiplus::GpFont* font_ = nullptr;
};

}  // namespace varnel
