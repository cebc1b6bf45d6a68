#pragma once
// One picture of the imaging service: loaded from a file or from bytes, saved
// through any encoder, and inspected (format, size, frames, properties,
// palette). Format and frame-dimension identifiers are GUID texts.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/objects/graphics_object.h"
#include "graphics/objects/image_codecs.h"
#include "graphics/objects/memory_stream.h"
#include "platform/gdiplus_flat.h"

namespace varnel {

// A property item; type is the platform's 16-bit property type.
struct PropertyItemRecord {
    uint32_t id = 0;
    uint32_t length = 0;
    uint32_t type = 0;
    Bytes value;
};

struct PaletteRecord {
    uint32_t flags = 0;
    uint32_t count = 0;
    std::vector<uint32_t> entries;
};

// Property id of the frame delays of animated pictures.
constexpr uint32_t kFrameDelayProperty = 0x5100;

class Image : public GraphicsObject {
public:
    Image() = default;
    ~Image() override;

    std::unique_ptr<Image> View() const { return ViewOf(*this); }

    virtual bool Dispose();
    [[nodiscard]] virtual bool LoadFromFile(const std::string& path, bool useColorManagement = false);
    // The bytes are copied; the copy lives as long as the picture does.
    [[nodiscard]] virtual bool LoadFromBytes(const Bytes& bytes, bool useColorManagement = false);
    virtual bool CloneInto(Image& target);
    // An empty format saves in the format the picture was loaded from.
    virtual bool SaveToFile(const std::string& path, const std::string& format = std::string(),
                            const EncoderParameterList* parameters = nullptr);
    virtual Bytes SaveToBytes(const std::string& format = std::string(),
                              const EncoderParameterList* parameters = nullptr);
    virtual bool SaveAdd(const EncoderParameterList& parameters);
    virtual bool SaveAddImage(const Image& other, const EncoderParameterList& parameters);
    virtual bool GetEncoderParameterList(const std::string& format, EncoderParameterList& parameters);
    virtual std::string GetRawFormat();
    virtual Gdiplus::RectF GetBounds(int32_t& unit);
    virtual Gdiplus::SizeF GetDimension();
    virtual int32_t GetType();
    virtual uint32_t GetWidth();
    virtual uint32_t GetHeight();
    virtual float GetHorizontalResolution();
    virtual float GetVerticalResolution();
    virtual uint32_t GetFlags();
    virtual int32_t GetPixelFormat();
    virtual bool GetThumbnailInto(uint32_t width, uint32_t height, Image& target);
    virtual uint32_t GetFrameCount(const std::string& dimension);
    virtual uint32_t GetFrameDimensions(std::vector<std::string>& dimensions);
    virtual bool SelectActiveFrame(const std::string& dimension, uint32_t index);
    // Delays in hundredths of a second, one per frame.
    virtual bool GetFrameDelays(std::vector<int32_t>& delays);
    virtual bool GetPropertyItem(uint32_t id, PropertyItemRecord& item);
    virtual bool SetPropertyItem(const PropertyItemRecord& item);
    virtual bool RemovePropertyItem(uint32_t id);
    virtual uint32_t GetPropertyIdList(std::vector<uint32_t>& ids);
    virtual bool RotateFlip(int32_t type);
    virtual bool GetPalette(PaletteRecord& palette);
    virtual bool SetPalette(const PaletteRecord& palette);

    // The stream a picture loaded from bytes is read from.
    const MemoryStream& Stream() const { return stream_; }

protected:
    void OnSetNativeHandle(void* handle) override {
        image_ = static_cast<Gdiplus::GpImage*>(handle);
        OnSetDerivedHandle(handle);
    }
    // For classes built on this one.
    virtual void OnSetDerivedHandle(void*) {}

private:
    // The encoder for format, or for the loaded format when format is empty;
    // false when no installed encoder writes it.
    bool EncoderFor(const std::string& format, CLSID& encoder);

    Gdiplus::GpImage* image_ = nullptr;
    MemoryStream stream_;
};

}  // namespace varnel
