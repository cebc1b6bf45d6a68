#include "graphics/objects/memory_image.h"

#include <cstring>

#include "graphics/objects/graphics_object.h"
#include "platform/growing_stream.h"
#include "platform/gdiplus_handles.h"
#include "platform/picture_header.h"

namespace varnel {

using namespace Gdiplus::DllExports;

namespace {
// The imaging service's built-in encoders by format code.
const char* EncoderTextFor(int32_t format) {
    switch (format) {
        case kFormatBmp: return "{557CF400-1A04-11D3-9A73-0000F81EF32E}";
        case kFormatJpeg: return "{557CF401-1A04-11D3-9A73-0000F81EF32E}";
        case kFormatGif: return "{557CF402-1A04-11D3-9A73-0000F81EF32E}";
        case kFormatTiff: return "{557CF405-1A04-11D3-9A73-0000F81EF32E}";
        case kFormatPng: return "{557CF406-1A04-11D3-9A73-0000F81EF32E}";
        default: return "";
    }
}
}  // namespace

MemoryImage::~MemoryImage() { Clear(); }

std::unique_ptr<MemoryImageView> MemoryImage::View() const { return std::make_unique<MemoryImageView>(*this); }

MemoryImageView::MemoryImageView(const MemoryImage& source)
    : image_(source.GetImage()), width_(source.GetWidth()), height_(source.GetHeight()) {
    if ((*stream_.put() = source.GetStream())) stream_->AddRef();
}

bool MemoryImage::IsEmpty() const { return image_ == nullptr; }

bool MemoryImage::LoadFromBytes(const Bytes& bytes) {
    Clear();
    // The decoder would allocate for the claimed size before reading a pixel.
    if (!ClaimFitsLimit(bytes)) return false;
    IStream* stream = OpenStream(bytes, true);
    if (!stream) {
        Clear();
        return false;
    }
    Gdiplus::GpImage* image = nullptr;
    if (GdipLoadImageFromStream(stream, &image) != Gdiplus::Ok) {
        Clear();
        return false;
    }
    image_ = image;
    UINT w = 0, h = 0;
    GdipGetImageWidth(image_, &w);
    GdipGetImageHeight(image_, &h);
    width_ = static_cast<int32_t>(w);
    height_ = static_cast<int32_t>(h);
    return true;
}

bool MemoryImage::CreateBitmap(int32_t width, int32_t height) {
    Clear();
    Gdiplus::GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap);
    // The pointer decides, not the status.
    if (!bitmap) return false;
    image_ = bitmap;
    width_ = width;
    height_ = height;
    return true;
}

Gdiplus::GpImage* MemoryImage::GetImage() const { return image_; }
int32_t MemoryImage::GetWidth() const { return width_; }
int32_t MemoryImage::GetHeight() const { return height_; }

void MemoryImage::DisposeImage() {
    if (image_) GdipDisposeImage(image_);
    image_ = nullptr;
    width_ = 0;
    height_ = 0;
}

void MemoryImage::Clear() {
    DisposeImage();
    stream_.Close();
}

void MemoryImage::DrawTo(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height, COLORREF background) {
    if (background != CLR_INVALID) {
        Brush brush(CreateSolidBrush(background));
        RECT area{x, y, x + width, y + height};
        if (brush) FillRect(dc, &area, brush.handle());
    }
    GraphicsOwner graphics = GraphicsOnDc(dc);
    if (!graphics) return;
    GdipDrawImageRectRect(graphics.get(), image_, static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y),
                          static_cast<Gdiplus::REAL>(width), static_cast<Gdiplus::REAL>(height), 0, 0,
                          static_cast<Gdiplus::REAL>(width_), static_cast<Gdiplus::REAL>(height_),
                          Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
}

void MemoryImage::FreeBlock() {
    if (stream_.stream()) DisposeImage();
    stream_.Close();
}

IStream* MemoryImage::OpenStream(const Bytes& bytes, bool copy) {
    FreeBlock();
    const bool opened = copy ? stream_.OpenCopy(bytes.data(), bytes.size()) : stream_.OpenEmpty();
    return opened ? stream_.stream() : nullptr;
}

IStream* MemoryImage::GetStream() const { return stream_.stream(); }

uint32_t MemoryImage::GetBlockSize() const { return static_cast<uint32_t>(stream_.BlockSize()); }

Bytes MemoryImage::GetBlockBytes() const { return stream_.BlockBytes(); }

void* MemoryImage::ReadPointer(const void* slot) const {
    if (!slot) return nullptr;
    void* value = nullptr;
    std::memcpy(&value, slot, sizeof(value));
    return value;
}

Bytes MemoryImage::EncodeToBytes(int32_t format) {
    if (!image_) return {};
    Bytes wide = ToWideBytes(EncoderTextFor(format));
    CLSID encoder{};
    CLSIDFromString(reinterpret_cast<LPCOLESTR>(wide.data()), &encoder);
    ComPtr<GrowingStream> output;
    if (!GrowingStream::Create(output)) return {};
    if (GdipSaveImageToStream(image_, output.get(), &encoder, nullptr) != Gdiplus::Ok) return {};
    return output->Take();
}

Bytes MemoryImage::ToWideBytes(const std::string& text) const { return ToWideText(text); }

}  // namespace varnel
