#include "app/operations/decode_cache.h"

#include "platform/bmp_format.h"
#include "platform/file_services.h"
#include "platform/picture_header.h"

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

}  // namespace

void DecodeCache::Decoded::Take(Decoded& other) {
    input.swap(other.input);
    output.swap(other.output);
    Gdiplus::GpBitmap* mine = picture.bitmap;
    picture.bitmap = other.picture.bitmap;
    other.picture.bitmap = mine;
}

void DecodeCache::Decoded::Clear() {
    Decoded none;
    Take(none);
}

DecodeCache::~DecodeCache() { WaitForWorker(); }

DWORD WINAPI DecodeCache::Work(void* self) {
    DecodeCache& cache = *static_cast<DecodeCache*>(self);
    Decoded& result = cache.ahead_;
    // Running short of memory here only loses the head start.
    try {
        if (!cache.aheadPath_.empty()) result.input = ReadWholeFile(cache.aheadPath_);
        const ClaimedSize claim = ReadClaimedSize(result.input.data(), result.input.size());
        if (!claim.known || claim.width * claim.height > kDecodeAheadPixels) {
            result.Clear();
            return 0;
        }
        if (!DecodeBmp24AndBitmap(result.input, result.output, result.picture, Cores::One) ||
            !MayKeepBitmap(result.picture.bitmap)) {
            result.Clear();
            return 0;
        }
        if (cache.then_) cache.then_(result.picture.bitmap, result.input, result.output);
    } catch (...) {
        result.Clear();
    }
    return 0;
}

void DecodeCache::WaitForWorker() {
    if (!worker_) return;
    awaited_ = true;
    WaitForSingleObject(worker_.get(), INFINITE);
    worker_.reset();
}

void DecodeCache::DropAhead() {
    WaitForWorker();
    aheadStarted_ = false;
    aheadPath_.clear();
    then_ = nullptr;
    ahead_.Clear();
}

void DecodeCache::StartAhead(const std::string& path, Bytes content, AfterDecodeAhead then) {
    DropAhead();
    aheadPath_ = path;
    ahead_.input = std::move(content);
    then_ = std::move(then);
    awaited_ = false;
    worker_.reset(CreateThread(nullptr, 0, &DecodeCache::Work, this, 0, nullptr));
    if (worker_) {
        aheadStarted_ = true;
    } else {
        DropAhead();
    }
}

void DecodeCache::DecodeAhead(const std::string& path, AfterDecodeAhead then) {
    StartAhead(path, Bytes(), std::move(then));
}

void DecodeCache::DecodeAhead(Bytes content) { StartAhead(std::string(), std::move(content), nullptr); }

const Bytes& DecodeCache::DecodeToBmp24(const Bytes& fileBytes) {
    // Clearing a picture (empty bytes) keeps what is remembered: picture
    // mode clears the panel right before it shows the same file again.
    if (fileBytes.empty()) return none_;
    if (fileBytes == remembered_.input) return remembered_.output;
    if (aheadStarted_) {
        WaitForWorker();
        if (ahead_.input == fileBytes) {
            remembered_.Take(ahead_);
            DropAhead();
            return remembered_.output;
        }
    }
    Decoded fresh;
    fresh.input = fileBytes;
    (void)DecodeBmp24AndBitmap(fresh.input, fresh.output, fresh.picture);
    // A picture too large to keep (or a metafile) is remembered only in its
    // BMP form, as bytes, without the decoded picture besides.
    if (!MayKeepBitmap(fresh.picture.bitmap)) fresh.picture.reset();
    remembered_.Take(fresh);
    return remembered_.output;
}

bool DecodeCache::TakeRemembered(const Bytes& fileBytes, Decoded& into) {
    into.Clear();
    if (!remembered_.picture.bitmap || fileBytes.empty() || fileBytes != remembered_.input) return false;
    into.Take(remembered_);
    return true;
}

Gdiplus::GpImage* DecodeCache::CloneRemembered(const Bytes& fileBytes) const {
    if (!remembered_.picture.bitmap || fileBytes.empty() || fileBytes != remembered_.input) return nullptr;
    Gdiplus::GpImage* copy = nullptr;
    if (Gdiplus::DllExports::GdipCloneImage(remembered_.picture.bitmap, &copy) != Gdiplus::Ok) return nullptr;
    return copy;
}

}  // namespace varnel
