// The program's own JPEG encoder and decoder: what the encoder writes reads
// back as what it was given; the decoder gives the imaging service's pixels,
// byte for byte, for every JPEG it takes, and declines what it does not read.
#include <doctest.h>

#include <shlwapi.h>

#include <cstdlib>
#include <string>

#include "platform/bmp_image.h"
#include "platform/file_services.h"
#include "platform/handles.h"
#include "platform/jpeg_decoder.h"
#include "platform/jpeg_encoder.h"
#include "tests/support/win_test.h"

using namespace varnel;

namespace {

// The imaging service's own decode, as the program used it before it had a decoder.
Gdiplus::GpBitmap* ServiceDecode(const Bytes& jpeg) {
    ComPtr<IStream> stream;
    *stream.put() = SHCreateMemStream(jpeg.data(), static_cast<UINT>(jpeg.size()));
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (!stream || Gdiplus::DllExports::GdipCreateBitmapFromStream(stream.get(), &bitmap) != Gdiplus::Ok) return {};
    return bitmap;
}

float Resolution(Gdiplus::GpBitmap* picture) {
    float dpi = 0;
    Gdiplus::DllExports::GdipGetImageHorizontalResolution(picture, &dpi);
    return dpi;
}

// Decoded by the program's own decoder, the same as by the imaging service.
void CheckDecodedAsService(const Bytes& jpeg) {
    int width = 0, height = 0;
    REQUIRE(ReadDecodableJpeg(jpeg, width, height));
    BitmapOwner own(DecodeBitmap(jpeg)), service(ServiceDecode(jpeg));
    REQUIRE(own.bitmap);
    CHECK(Resolution(own.bitmap) == Resolution(service.bitmap));
    CHECK(BitmapToBmp24(own.bitmap) == BitmapToBmp24(service.bitmap));
}

}  // namespace

TEST_CASE("a JPEG of a grainy picture reads back close to it, the 0xFF bytes of its data stuffed") {
    // Sizes that end inside a block; grain that codes to many 0xFF bytes.
    const int width = 61, height = 37;
    Bytes rows(static_cast<size_t>(width) * 3 * height);
    unsigned seed = 7;
    for (size_t i = 0; i < rows.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        rows[i] = static_cast<unsigned char>(i / 3 % width * 2 + i / 3 / width * 3 + (seed >> 28));
    }
    const Bytes jpeg = EncodeJpeg(rows.data(), width, height, width * 3, 92);
    int stuffed = 0;
    for (size_t i = 2; i + 3 < jpeg.size(); ++i) stuffed += jpeg[i] == 0xFF && jpeg[i + 1] == 0;
    CHECK(stuffed > 0);
    CheckDecodedAsService(jpeg);
    const Bytes back = DecodePictureToBmp24(jpeg);
    REQUIRE(!back.empty());
    long error = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned pixel = test::BmpPixel(back, x, y);
            const unsigned char* given = rows.data() + (static_cast<size_t>(y) * width + x) * 3;
            for (int k = 0; k < 3; ++k) error += std::abs(static_cast<int>(pixel >> (8 * k) & 0xFF) - given[k]);
        }
    }
    // On average within 4 levels of the given sample.
    CHECK(error < 4L * width * height * 3);
}

TEST_CASE("the own JPEG decoder gives the imaging service's pixels and declines what it does not read") {
    // Full, half-across, half-down and half-both-ways colour, grey, restart
    // markers, sizes that end inside a block, a block of extreme contrast,
    // resolutions per inch and per centimetre, coarse quantizers whose sums
    // pass 32 bits.
    const std::string samples = test::SourceFolder() + "\\tests\\platform\\jpeg-samples\\";
    for (const char* name : {"s420.jpg", "s422.jpg", "s444.jpg", "s440.jpg", "g.jpg", "rst2.jpg", "rst3.jpg",
                             "odd.jpg", "odd420.jpg", "small420.jpg", "small422.jpg", "tiny.jpg", "checker.jpg",
                             "opt.jpg", "dpi300.jpg", "dpcm.jpg", "loud420.jpg", "loud422.jpg"}) {
        const std::string file = name;
        CAPTURE(file);
        CheckDecodedAsService(ReadWholeFile(samples + name));
    }
    const std::string corpus = test::SourceFolder() + "\\tests\\robustness\\corpus\\";
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
