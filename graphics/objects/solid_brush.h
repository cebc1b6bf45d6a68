#pragma once
// A fill brush of one ARGB colour, in two levels: the general brush (delete,
// clone, type) and the solid fill (create, colour). Both levels always hold
// the same platform pointer.
#include <cstdint>
#include <memory>

#include "graphics/objects/graphics_object.h"
#include "platform/gdiplus_flat.h"

namespace varnel {

class SolidBrush : public GraphicsObject {
public:
    SolidBrush() = default;
    ~SolidBrush() override;

    std::unique_ptr<SolidBrush> View() const { return ViewOf(*this); }

    virtual bool Delete();
    virtual bool CloneInto(SolidBrush& target);
    // BrushType; 0 is a solid colour.
    virtual int32_t GetType();
    virtual bool Create(uint32_t argb);
    virtual bool SetColor(uint32_t argb);
    virtual uint32_t GetColor();

protected:
    void OnSetNativeHandle(void* handle) override {
        brush_ = static_cast<Gdiplus::GpBrush*>(handle);
        OnSetDerivedHandle(handle);
    }
    // The solid-fill level's copy of the pointer.
    virtual void OnSetDerivedHandle(void* handle) { solidFill_ = static_cast<Gdiplus::GpSolidFill*>(handle); }

private:
    Gdiplus::GpBrush* brush_ = nullptr;
    Gdiplus::GpSolidFill* solidFill_ = nullptr;
};

}  // namespace varnel
