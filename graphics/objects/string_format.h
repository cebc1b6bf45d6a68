#pragma once
// Layout rules for drawing and measuring text. A format that holds nothing
// stands for the platform's default layout.
#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/objects/graphics_object.h"
#include "platform/gdiplus_flat.h"

namespace varnel {

class StringFormat : public GraphicsObject {
public:
    StringFormat() = default;
    ~StringFormat() override;

    std::unique_ptr<StringFormat> View() const { return ViewOf(*this); }

    virtual bool Delete();
    virtual bool Create(int32_t flags, int32_t language);
    virtual bool CreateGenericDefault();
    virtual bool CreateGenericTypographic();
    virtual bool CloneInto(StringFormat& target);
    virtual bool SetFlags(int32_t flags);
    virtual int32_t GetFlags();
    virtual bool SetAlignment(int32_t alignment);
    virtual int32_t GetAlignment();
    virtual bool SetLineAlignment(int32_t alignment);
    virtual int32_t GetLineAlignment();
    virtual bool SetTrimming(int32_t trimming);
    virtual int32_t GetTrimming();
    virtual bool SetHotkeyPrefix(int32_t prefix);
    virtual int32_t GetHotkeyPrefix();
    virtual bool SetTabStops(float firstOffset, const std::vector<float>& stops);
    // Returns the number of stops; stops is replaced by them.
    virtual int32_t GetTabStops(float& firstOffset, std::vector<float>& stops);
    virtual bool SetDigitSubstitution(int32_t method, int32_t language);
    virtual bool GetDigitSubstitution(int32_t& method, int32_t& language);
    virtual bool SetMeasurableCharacterRanges(const std::vector<Gdiplus::CharacterRange>& ranges);
    virtual int32_t GetMeasurableCharacterRangeCount();

protected:
    void OnSetNativeHandle(void* handle) override { format_ = static_cast<Gdiplus::GpStringFormat*>(handle); }

private:
    Gdiplus::GpStringFormat* format_ = nullptr;
};

}  // namespace varnel
