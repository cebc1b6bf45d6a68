#include "platform/remembered_decode.h"

#include <windows.h>

#include "platform/bmp_format.h"
#include "platform/bmp_image.h"
#include "platform/file_services.h"
#include "platform/handles.h"

namespace varnel {

namespace {

// A picture small enough to keep a copy of, decoded from pixels: a
// metafile drawn from its file is drawn from its vectors, which a decoded
// copy of it would not reproduce.
bool MayKeepBitmap(Gdiplus::GpBitmap* bitmap) {
    using namespace Gdiplus::DllExports;
    UINT width = 0, height = 0;
    GUID format{};
    if (!bitmap || GdipGetImageWidth(bitmap, &width) != Gdiplus::Ok ||
        GdipGetImageHeight(bitmap, &height) != Gdiplus::Ok || GdipGetImageRawFormat(bitmap, &format) != Gdiplus::Ok) {
        return false;
    }
    return MayKeepPicture(width, height) && !IsEqualGUID(format, Gdiplus::ImageFormatEMF) &&
           !IsEqualGUID(format, Gdiplus::ImageFormatWMF);
}

// A decode and what it was made from.
struct Decoded {
    Bytes input;
    BitmapOwner picture;
    Bytes output;

    void Take(Decoded& other) {
        input.swap(other.input);
        output.swap(other.output);
        Gdiplus::GpBitmap* mine = picture.bitmap;
        picture.bitmap = other.picture.bitmap;
        other.picture.bitmap = mine;
    }
    void Decode() {
        picture.reset(DecodeBitmap(input));
        output = picture.bitmap ? BitmapToBmp24(picture.bitmap) : Bytes();
    }
    void Clear() {
        Decoded none;
        Take(none);
    }
    bool MayKeep() const { return MayKeepBitmap(picture.bitmap); }
};

Decoded& Remembered() {
    static Decoded remembered;
    return remembered;
}

// The worker's file and result. The worker reads `path` and `then` and
// writes `result`; the user-interface thread writes them, and reads
// `result`, only while no worker runs.
struct Ahead {
    std::string path;
    AfterDecodeAhead then;
    Decoded result;
    KernelHandle worker;
};

// Never destroyed: a worker may still be running while the process ends.
Ahead& Pending() {
    static Ahead& ahead = *new Ahead;
    return ahead;
}

DWORD WINAPI DecodeOnWorker(void* parameter) {
    Ahead& ahead = *static_cast<Ahead*>(parameter);
    Decoded& result = ahead.result;
    // Running short of memory here only loses the head start.
    try {
        result.input = ReadWholeFile(ahead.path);
        result.picture.reset(DecodeBitmap(result.input));
        // Pictures not worth keeping are not converted at all.
        if (!result.MayKeep()) {
            result.Clear();
            return 0;
        }
        result.output = BitmapToBmp24(result.picture.bitmap);
        if (result.output.empty()) {
            result.Clear();
            return 0;
        }
        if (ahead.then) ahead.then(result.picture.bitmap, result.output);
    } catch (...) {
        result.Clear();
    }
    return 0;
}

void WaitForWorker(Ahead& ahead) {
    if (!ahead.worker) return;
    WaitForSingleObject(ahead.worker.get(), INFINITE);
    ahead.worker.reset();
}

void DropAhead(Ahead& ahead) {
    WaitForWorker(ahead);
    ahead.path.clear();
    ahead.then = nullptr;
    ahead.result.Clear();
}

}  // namespace

void DecodePictureAhead(const std::string& path, AfterDecodeAhead then) {
    Ahead& ahead = Pending();
    DropAhead(ahead);
    ahead.path = path;
    ahead.then = std::move(then);
    ahead.worker.reset(CreateThread(nullptr, 0, &DecodeOnWorker, &ahead, 0, nullptr));
    if (!ahead.worker) {
        ahead.path.clear();
        ahead.then = nullptr;
    }
}

void WaitForDecodeAhead() { WaitForWorker(Pending()); }

Bytes DecodePictureToBmp24Remembered(const Bytes& fileBytes) {
    // Clearing a picture (empty bytes) keeps what is remembered: picture
    // mode clears the panel right before it shows the same file again.
    if (fileBytes.empty()) return {};
    Decoded& last = Remembered();
    if (fileBytes == last.input) return last.output;
    Ahead& ahead = Pending();
    if (!ahead.path.empty()) {
        WaitForWorker(ahead);
        if (ahead.result.input == fileBytes) {
            last.Take(ahead.result);
            DropAhead(ahead);
            return last.output;
        }
    }
    Decoded fresh;
    fresh.input = fileBytes;
    fresh.Decode();
    // A picture too large to keep (or a metafile) is remembered only in its
    // BMP form, as bytes, without the decoded picture besides.
    if (!fresh.MayKeep()) fresh.picture.reset();
    last.Take(fresh);
    return last.output;
}

Gdiplus::GpImage* CloneRememberedPicture(const Bytes& fileBytes) {
    Decoded& last = Remembered();
    if (!last.picture.bitmap || fileBytes.empty() || fileBytes != last.input) return nullptr;
    Gdiplus::GpImage* copy = nullptr;
    if (Gdiplus::DllExports::GdipCloneImage(last.picture.bitmap, &copy) != Gdiplus::Ok) return nullptr;
    return copy;
}

}  // namespace varnel
