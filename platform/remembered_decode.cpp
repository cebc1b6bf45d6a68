#include "platform/remembered_decode.h"

#include <windows.h>

#include "platform/bmp_image.h"
#include "platform/file_services.h"
#include "platform/handles.h"

namespace varnel {

namespace {

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
    bool MayKeep() const {
        BmpHeader header;
        return picture.bitmap && ReadBmpHeader(output, header) && MayKeepPicture(header.width, header.height);
    }
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
    ahead.result.input = ReadWholeFile(ahead.path);
    ahead.result.Decode();
    if (!ahead.result.MayKeep()) {
        ahead.result.Clear();
        return 0;
    }
    if (ahead.then) ahead.then(ahead.result.picture.bitmap, ahead.result.output);
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
    // Bytes that are no picture are not worth remembering, nor is a picture
    // too large to keep a copy of.
    if (!fresh.MayKeep()) return std::move(fresh.output);
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
