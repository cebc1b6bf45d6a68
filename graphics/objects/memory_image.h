#pragma once
// One picture that lives entirely in memory: decoded from the bytes of a
// picture file or created blank, and encoded back into bytes by a small
// format code. The splitting commands cut pictures into tiles with it.
#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/bytes.h"
#include "platform/gdiplus_flat.h"

namespace varnel {

// Format codes of EncodeToBytes.
enum MemoryImageFormat : int32_t {
    kFormatBmp = 1,
    kFormatJpeg = 2,
    kFormatGif = 3,
    kFormatTiff = 4,
    kFormatPng = 5,
};

class MemoryImage {
public:
    MemoryImage() = default;
    MemoryImage(const MemoryImage&) = delete;
    MemoryImage& operator=(const MemoryImage&) = delete;
    // Gives back the image, the stream and the block: an object is the only
    // owner of what it holds.
    virtual ~MemoryImage();

    // A copy that shares the image and block and takes its own reference on
    // the stream; it never disposes the image or frees the block.
    std::unique_ptr<MemoryImage> Copy() const;

    virtual bool IsEmpty() const;
    virtual bool LoadFromBytes(const Bytes& bytes);
    virtual bool CreateBitmap(int32_t width, int32_t height);
    virtual Gdiplus::GpImage* GetImage() const;
    virtual int32_t GetWidth() const;
    virtual int32_t GetHeight() const;
    virtual void Clear();
    // background is a COLORREF; CLR_INVALID (-1) draws none.
    virtual void DrawTo(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height,
                        COLORREF background = CLR_INVALID);
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
    Gdiplus::GpImage* image_ = nullptr;
    HGLOBAL memory_ = nullptr;
    IStream* stream_ = nullptr;
    int32_t width_ = 0;
    int32_t height_ = 0;
    // An empty-mode block belongs to its stream (delete-on-release).
    bool ownsMemory_ = false;
    bool borrowed_ = false;
};

}  // namespace varnel
