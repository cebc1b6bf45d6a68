// The program's own JPEG decoder gives the imaging service's pixels, byte
// for byte, for every JPEG it takes, and declines the kinds it does not read.
#include <doctest.h>

#include <shlwapi.h>

#include <string>

#include "platform/bmp_image.h"
#include "platform/file_services.h"
#include "platform/handles.h"
#include "platform/jpeg_decoder.h"

using namespace varnel;

namespace {

// The imaging service's own decode, as the program used it before it had a decoder.
Bytes ServiceDecode(const Bytes& jpeg) {
    ComPtr<IStream> stream;
    *stream.put() = SHCreateMemStream(jpeg.data(), static_cast<UINT>(jpeg.size()));
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (!stream || Gdiplus::DllExports::GdipCreateBitmapFromStream(stream.get(), &bitmap) != Gdiplus::Ok) return {};
    BitmapOwner owner(bitmap);
    return BitmapToBmp24(bitmap);
}

std::string Samples() {
    std::string path = "Z:";
    for (char c : std::string(VARNEL_SOURCE_DIR)) path += c == '/' ? '\\' : c;
    return path + "\\tests\\platform\\jpeg-samples\\";
}

}  // namespace

TEST_CASE("the own JPEG decoder gives the imaging service's pixels and declines what it does not read") {
    // Full, half-across and half-both-ways colour, grey, restart markers,
    // sizes that end inside a block, a block of extreme contrast.
    const char* taken[] = {"s420.jpg", "s422.jpg", "s444.jpg", "s440.jpg", "g.jpg", "rst2.jpg", "rst3.jpg", "odd.jpg",
                           "odd420.jpg", "small420.jpg", "small422.jpg", "tiny.jpg", "checker.jpg", "opt.jpg"};
    for (const char* name : taken) {
        const std::string file = name;
        CAPTURE(file);
        const Bytes jpeg = ReadWholeFile(Samples() + name);
        int width = 0, height = 0;
        REQUIRE(ReadDecodableJpeg(jpeg, width, height));
        Bytes own = MakeBmp24(width, height, nullptr, 0);
        const size_t stride = BmpStride24(width);
        // The BMP stores its rows bottom-up: the last row first.
        REQUIRE(DecodeJpeg(jpeg, own.data() + 54 + stride * (height - 1), -static_cast<std::ptrdiff_t>(stride)));
        const Bytes service = ServiceDecode(jpeg);
        REQUIRE(service.size() == own.size());
        size_t differing = 0;
        for (size_t i = 54; i < own.size(); ++i) differing += own[i] != service[i];
        CHECK(differing == 0);
    }
    const std::string corpus = Samples() + "..\\..\\robustness\\corpus\\";
    for (const char* name : {"jpeg-progressive.jpg", "jpeg-arithmetic.jpg", "jpeg-cmyk.jpg", "jpeg-12bit.jpg"}) {
        int width = 0, height = 0;
        CHECK_FALSE(ReadDecodableJpeg(ReadWholeFile(corpus + name), width, height));
    }
    // Damage past the headers is found while decoding.
    for (const char* name : {"jpeg-truncated-half.jpg", "jpeg-bad-huffman.jpg"}) {
        Bytes rows(48 * 32 * 3);
        CHECK_FALSE(DecodeJpeg(ReadWholeFile(corpus + name), rows.data(), 48 * 3));
    }
}
