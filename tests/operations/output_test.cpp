// What the watermark runs write: the format the name says, the picture
// upright with its metadata, transparency kept.
#include <doctest.h>

#include "app/operations/file_watermark.h"
#include "app/shell/commands.h"
#include "platform/bmp_format.h"
#include "platform/bmp_image.h"
#include "platform/exif.h"
#include "platform/file_services.h"
#include "platform/picture_codec.h"
#include "tests/shell/shell_fixture.h"

using namespace varnel;
using namespace ui;

namespace {

// The mark lies past the pictures: every pixel should come back as it was.
void RunPictureBatchOver(const std::string& folder) {
    std::string listed = folder;
    ListFolderFiles(listed);
    App().currentFolder = folder;
    App().watermarkMode = WatermarkMode::Picture;
    App().watermarkPosition = WatermarkPosition{5000, 5000};
    for (int i = 1; i <= Ui<ListBox>(列表框1).Count(); ++i) (void)RunBatchItem(BatchOperation::Picture, i, 0);
    App().watermarkMode = WatermarkMode::None;
}

// A picture from 32-bit BGRA pixels made by `pixel(x, y)`, encoded as `format`.
template <typename Pixel>
Bytes Encoded(int width, int height, PictureFormat format, Pixel pixel) {
    BitmapOwner picture;
    REQUIRE(Gdiplus::DllExports::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr,
                                                            &picture.bitmap) == Gdiplus::Ok);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) Gdiplus::DllExports::GdipBitmapSetPixel(picture.bitmap, x, y, pixel(x, y));
    }
    return EncodePicture(picture.bitmap, format);
}

}  // namespace

TEST_CASE("a run writes the format each name says, and the file's own for other names") {
    test::StartedMainWindow();
    test::TempFolder folder("varnel-formats");
    const Bytes png = test::MakePicture(80, 60, 0x808080, "png");
    const std::pair<const char*, PictureFormat> table[] = {
        {"a.jpg", PictureFormat::Jpeg}, {"b.JPEG", PictureFormat::Jpeg}, {"c.png", PictureFormat::Png},
        {"d.bmp", PictureFormat::Bmp},  {"e.gif", PictureFormat::Gif},   {"f.tif", PictureFormat::Tiff},
        {"g.tiff", PictureFormat::Tiff}, {"h.pic", PictureFormat::Png}};
    for (const auto& row : table) REQUIRE(WriteWholeFile(folder.File(row.first), png));
    RunPictureBatchOver(folder.Path());
    for (const auto& row : table) {
        CAPTURE(std::string(row.first));
        const Bytes written = ReadWholeFile(folder.File(row.first));
        CHECK(FormatOfBytes(written) == row.second);
        BmpHeader header;
        const Bytes pixels = DecodePictureToBmp24(written);
        REQUIRE(IsWholeBmp24(pixels, &header));
        CHECK(header.width == 80);
        // GIF holds 256 colours: grey comes back as the palette's nearest.
        const int tolerance = row.second == PictureFormat::Gif ? 26 : 3;
        CHECK(std::abs(static_cast<int>(test::BmpPixel(pixels, 40, 30) & 0xFF) - 0x80) <= tolerance);
        if (row.second == PictureFormat::Bmp) CHECK(ReadBmpHeader(written, header));
        if (row.second == PictureFormat::Bmp) CHECK(header.bitCount == 24);
    }
}

TEST_CASE("a photo stored sideways comes out upright, its metadata kept with the orientation reset") {
    test::StartedMainWindow();
    test::TempFolder folder("varnel-exif");
    // Stored 60 x 40, red on the left: shown turned a quarter clockwise, red on top.
    Bytes jpeg = Encoded(60, 40, PictureFormat::Jpeg,
                         [](int x, int) { return x < 30 ? 0xFFFF0000u : 0xFF0000FFu; });
    const unsigned char exif[] = {0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 0x2A, 0, 8, 0, 0, 0,
                                  1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0};
    jpeg.insert(jpeg.begin() + 2, exif, exif + sizeof(exif));
    REQUIRE(ReadJpegOrientation(jpeg) == 6);
    REQUIRE(WriteWholeFile(folder.File("phone.jpg"), jpeg));
    RunPictureBatchOver(folder.Path());
    const Bytes written = ReadWholeFile(folder.File("phone.jpg"));
    CHECK(ReadJpegOrientation(written) == 1);
    CHECK(std::search(written.begin(), written.end(), exif + 4, exif + 10) != written.end());
    const Bytes upright = DecodePictureToBmp24(written);
    BmpHeader header;
    REQUIRE(IsWholeBmp24(upright, &header));
    CHECK(header.width == 40);
    CHECK(header.height == 60);
    CHECK((test::BmpPixel(upright, 20, 50) & 0xFF) > 200);   // blue at the bottom
    CHECK((test::BmpPixel(upright, 20, 10) >> 16) > 200);    // red at the top
}

TEST_CASE("transparency survives a run") {
    test::StartedMainWindow();
    test::TempFolder folder("varnel-alpha");
    REQUIRE(WriteWholeFile(folder.File("clear.png"), Encoded(200, 100, PictureFormat::Png, [](int x, int) {
                               return x < 100 ? 0x00000000u : 0xFF00FF00u;
                           })));
    RunPictureBatchOver(folder.Path());
    BitmapOwner written(DecodeBitmap(ReadWholeFile(folder.File("clear.png"))));
    REQUIRE(written.bitmap);
    Gdiplus::ARGB clear = 0, green = 0;
    Gdiplus::DllExports::GdipBitmapGetPixel(written.bitmap, 50, 80, &clear);
    Gdiplus::DllExports::GdipBitmapGetPixel(written.bitmap, 150, 80, &green);
    CHECK((clear >> 24) == 0);
    CHECK(green == 0xFF00FF00u);
}

TEST_CASE("a decode given up by its caller is marked in place, one lent is left as it was, and both give one file") {
    test::StartedMainWindow();
    const Bytes jpeg = test::MakePicture(64, 48, 0xC0C0C0, "jpeg");
    FileMarking marking;
    marking.mode = WatermarkMode::Picture;
    marking.mark = test::MakePicture(16, 16, 0x204080, "bmp");
    BitmapOwner lent(DecodeBitmap(jpeg)), given(DecodeBitmap(jpeg));
    const MarkedFile fromLent = MarkFile(jpeg, "a.jpg", marking, lent.bitmap);
    const MarkedFile fromGiven = MarkFile(jpeg, "a.jpg", marking, given.bitmap, true);
    CHECK(fromLent.bytes == fromGiven.bytes);
    CHECK(BitmapToBmp24(lent.bitmap) == DecodePictureToBmp24(jpeg));
    // Marked in place: no copy of the whole picture was made for it.
    CHECK(BitmapToBmp24(given.bitmap) != DecodePictureToBmp24(jpeg));
}
