#pragma once
// One picture that lives entirely in memory: decoded from the bytes of a
// picture file or created blank, and encoded back into bytes by a small
// format code. The splitting commands cut pictures into tiles with it.
#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <memory>
#include <string>

#include "graphics/objects/global_stream.h"
#include "platform/bytes.h"
#include "platform/gdiplus_flat.h"
#include "platform/handles.h"

namespace varnel {

// Format codes of EncodeToBytes.
enum MemoryImageFormat : int32_t {
    kFormatBmp = 1,
    kFormatJpeg = 2,
    kFormatGif = 3,
    kFormatTiff = 4,
    kFormatPng = 5,
};

class MemoryImageView;

class MemoryImage {
public:
    MemoryImage() = default;
    MemoryImage(const MemoryImage&) = delete;
    MemoryImage& operator=(const MemoryImage&) = delete;
    // Gives back the image, the stream and the block: an object is the only
    // owner of what it holds.
    virtual ~MemoryImage();

    // A view sharing the picture: see MemoryImageView.
    std::unique_ptr<MemoryImageView> View() const;

    virtual bool IsEmpty() const;
    [[nodiscard]] virtual bool LoadFromBytes(const Bytes& bytes);
    virtual bool CreateBitmap(int32_t width, int32_t height);
    virtual Gdiplus::GpImage* GetImage() const;
    virtual int32_t GetWidth() const;
    virtual int32_t GetHeight() const;
    virtual void Clear();
    // background is a COLORREF; CLR_INVALID (-1) draws none.
    virtual void DrawTo(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height,
                        COLORREF background = CLR_INVALID);
    // Lets go of the stream and so of its block; a picture decoded from them
    // goes first, since it reads its data from them on demand.
    virtual void FreeBlock();
    virtual IStream* OpenStream(const Bytes& bytes, bool copy);
    virtual IStream* GetStream() const;
    virtual uint32_t GetBlockSize() const;
    virtual Bytes GetBlockBytes() const;
    // The pointer-sized value stored at slot; null for a null slot.
    virtual void* ReadPointer(const void* slot) const;
    // Empty on failure, on an empty object and for an unknown code.
    virtual Bytes EncodeToBytes(int32_t format);
    virtual Bytes ToWideBytes(const std::string& text) const;

private:
    void DisposeImage();

    Gdiplus::GpImage* image_ = nullptr;
    GlobalStream stream_;
    int32_t width_ = 0;
    int32_t height_ = 0;
};

// A view of a MemoryImage's picture: it holds a reference of its own on the
// stream, so the block under the picture stays, and never disposes the
// picture, which stays its source's. It must not outlive that picture.
class MemoryImageView {
public:
    explicit MemoryImageView(const MemoryImage& source);
    MemoryImageView(const MemoryImageView&) = delete;
    MemoryImageView& operator=(const MemoryImageView&) = delete;

    Gdiplus::GpImage* GetImage() const { return image_; }
    int32_t GetWidth() const { return width_; }
    int32_t GetHeight() const { return height_; }
    IStream* GetStream() const { return stream_.get(); }

private:
    Gdiplus::GpImage* image_;
    ComPtr<IStream> stream_;
    int32_t width_;
    int32_t height_;
};

}  // namespace varnel
