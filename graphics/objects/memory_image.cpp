#include "graphics/objects/memory_image.h"

#include "graphics/objects/global_stream.h"

#include <algorithm>
#include <cstring>

#include "graphics/objects/graphics_object.h"
#include "graphics/objects/memory_stream.h"
#include "platform/handles.h"

namespace varnel {

using namespace Gdiplus::DllExports;

namespace {
// An output stream over a byte array that grows by doubling. The platform's
// memory-block stream grows to the exact size at every write, which copies
// the whole output again and again while an encoder writes a large file.
class GrowingStream : public IStream {
public:
    Bytes Take() {
        bytes_.resize(static_cast<size_t>(size_));
        return std::move(bytes_);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IStream) || IsEqualIID(id, IID_ISequentialStream)) {
            *out = static_cast<IStream*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the caller's stack; counting only keeps the contract.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return references_ > 1 ? --references_ : 1; }

    HRESULT STDMETHODCALLTYPE Read(void* target, ULONG count, ULONG* done) override {
        ULONGLONG available = position_ < size_ ? size_ - position_ : 0;
        ULONG n = static_cast<ULONG>(std::min<ULONGLONG>(count, available));
        if (n) std::memcpy(target, bytes_.data() + position_, n);
        position_ += n;
        if (done) *done = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Write(const void* source, ULONG count, ULONG* done) override {
        if (!source && count) return STG_E_INVALIDPOINTER;
        const ULONGLONG end = position_ + count;
        if (end > 0x7FFFFFFFull) return STG_E_MEDIUMFULL;
        if (end > bytes_.size()) bytes_.resize(std::max<size_t>(static_cast<size_t>(end), bytes_.size() * 2));
        if (count) std::memcpy(bytes_.data() + position_, source, count);
        position_ = end;
        size_ = std::max(size_, end);
        if (done) *done = count;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* now) override {
        LONGLONG base = origin == STREAM_SEEK_SET   ? 0
                        : origin == STREAM_SEEK_CUR ? static_cast<LONGLONG>(position_)
                        : origin == STREAM_SEEK_END ? static_cast<LONGLONG>(size_)
                                                    : -1;
        if (base < 0) return STG_E_INVALIDFUNCTION;
        LONGLONG target = base + move.QuadPart;
        if (target < 0) return STG_E_INVALIDFUNCTION;
        position_ = static_cast<ULONGLONG>(target);
        if (now) now->QuadPart = position_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override {
        if (size.QuadPart > 0x7FFFFFFFull) return STG_E_MEDIUMFULL;
        if (size.QuadPart > bytes_.size()) bytes_.resize(static_cast<size_t>(size.QuadPart));
        if (size.QuadPart > size_) {
            std::memset(bytes_.data() + size_, 0, static_cast<size_t>(size.QuadPart - size_));
        }
        size_ = size.QuadPart;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
        if (!stat) return STG_E_INVALIDPOINTER;
        *stat = STATSTG{};
        stat->type = STGTY_STREAM;
        stat->cbSize.QuadPart = size_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IStream** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }

private:
    Bytes bytes_;
    ULONGLONG size_ = 0;
    ULONGLONG position_ = 0;
    ULONG references_ = 1;
};

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

std::unique_ptr<MemoryImage> MemoryImage::Copy() const {
    auto copy = std::make_unique<MemoryImage>();
    copy->image_ = image_;
    copy->memory_ = memory_;
    copy->stream_ = stream_;
    if (stream_) stream_->AddRef();
    copy->width_ = width_;
    copy->height_ = height_;
    copy->borrowed_ = true;
    return copy;
}

bool MemoryImage::IsEmpty() const { return image_ == nullptr; }

bool MemoryImage::LoadFromBytes(const Bytes& bytes) {
    Clear();
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

void MemoryImage::Clear() {
    if (image_ && !borrowed_) GdipDisposeImage(image_);
    image_ = nullptr;
    width_ = 0;
    height_ = 0;
    // A copy took its own reference on the stream, so it releases that too.
    if (stream_) stream_->Release();
    stream_ = nullptr;
    FreeBlock();
    borrowed_ = false;
}

void MemoryImage::DrawTo(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height, COLORREF background) {
    if (background != CLR_INVALID) {
        Brush brush(CreateSolidBrush(background));
        RECT area{x, y, x + width, y + height};
        if (brush) FillRect(dc, &area, brush.handle());
    }
    Gdiplus::GpGraphics* graphics = nullptr;
    if (GdipCreateFromHDC(dc, &graphics) != Gdiplus::Ok || !graphics) return;
    GdipDrawImageRectRect(graphics, image_, static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y),
                          static_cast<Gdiplus::REAL>(width), static_cast<Gdiplus::REAL>(height), 0, 0,
                          static_cast<Gdiplus::REAL>(width_), static_cast<Gdiplus::REAL>(height_),
                          Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
    GdipDeleteGraphics(graphics);
}

void MemoryImage::FreeBlock() {
    if (memory_ && ownsMemory_ && !borrowed_) GlobalFree(memory_);
    memory_ = nullptr;
    ownsMemory_ = false;
}

IStream* MemoryImage::OpenStream(const Bytes& bytes, bool copy) {
    // A decoded image reads its data from the stream on demand: it must not
    // outlive the block under it.
    if (stream_ && image_) {
        if (!borrowed_) GdipDisposeImage(image_);
        image_ = nullptr;
        width_ = 0;
        height_ = 0;
    }
    if (stream_) stream_->Release();
    stream_ = nullptr;
    FreeBlock();
    borrowed_ = false;
    GlobalStream opened;
    if (!OpenGlobalStream(bytes.data(), bytes.size(), copy, opened)) return nullptr;
    memory_ = opened.memory;
    stream_ = opened.stream;
    ownsMemory_ = opened.ownsMemory;
    return stream_;
}

IStream* MemoryImage::GetStream() const { return stream_; }

uint32_t MemoryImage::GetBlockSize() const { return memory_ ? static_cast<uint32_t>(GlobalSize(memory_)) : 0; }

Bytes MemoryImage::GetBlockBytes() const {
    Bytes bytes;
    if (!memory_) return bytes;
    if (const auto* p = static_cast<const unsigned char*>(GlobalLock(memory_))) {
        bytes.assign(p, p + GlobalSize(memory_));
        GlobalUnlock(memory_);
    }
    return bytes;
}

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
    GrowingStream output;
    if (GdipSaveImageToStream(image_, &output, &encoder, nullptr) != Gdiplus::Ok) return {};
    // Exactly what the encoder wrote: the array behind the stream may be
    // larger, and the rest of it is no part of the file.
    return output.Take();
}

Bytes MemoryImage::ToWideBytes(const std::string& text) const { return ToWideText(text); }

}  // namespace varnel
