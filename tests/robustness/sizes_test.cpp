#include <doctest.h>

#include "app/operations/helpers.h"
#include "app/operations/splitting.h"
#include "platform/components.h"
#include "tests/robustness/robustness_table.h"

using namespace varnel;
using namespace varnel::robust;
using namespace ui;

namespace {

uint32_t Crc32(const unsigned char* p, size_t n) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBig32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

// A small picture whose header says side x side; the pixel data is that of
// the small one.
Bytes HugeHeader(const char* format, int side = 20000, int width = 16, int height = 16) {
    Bytes b = test::MakePicture(width, height, 0x808080, format);
    std::string f = format;
    if (f == "png") {  // IHDR right after the signature, with its checksum
        PutBig32(b, 16, side);
        PutBig32(b, 20, side);
        PutBig32(b, 29, Crc32(&b[12], 17));
    } else if (f == "gif") {  // logical screen and first image descriptor
        b[6] = b[8] = side & 0xFF;
        b[7] = b[9] = side >> 8;
        for (size_t i = 13; i + 9 < b.size(); ++i) {
            if (b[i] == 0x2C && b[i + 1] == 0 && b[i + 2] == 0 && b[i + 3] == 0 && b[i + 4] == 0) {
                b[i + 5] = b[i + 7] = side & 0xFF;
                b[i + 6] = b[i + 8] = side >> 8;
                break;
            }
        }
    } else if (f == "jpeg") {  // every start-of-frame marker
        for (size_t i = 2; i + 8 < b.size(); ++i) {
            if (b[i] == 0xFF && (b[i + 1] == 0xC0 || b[i + 1] == 0xC2)) {
                b[i + 5] = b[i + 7] = side >> 8;
                b[i + 6] = b[i + 8] = side & 0xFF;
            }
        }
    } else if (f == "tiff") {  // width and length in the first directory, SHORT or LONG
        const size_t dir = b[4] | b[5] << 8;
        for (size_t e = dir + 2; e + 12 <= b.size() && e < dir + 2 + 12 * (b[dir] | b[dir + 1] << 8); e += 12) {
            if ((b[e] == 0 || b[e] == 1) && b[e + 1] == 1) Put32(b, e + 8, b[e + 2] == 3 ? side & 0xFFFF : side);
        }
    }
    return b;
}

unsigned Pixel(const Bytes& bmp, int x, int y) { return test::BmpPixel(bmp, x, y); }

}  // namespace

TEST_CASE("pictures whose headers claim more than the limit are refused as no picture") {
    test::StartedMainWindow();
    test::TempFolder folder("varnel-robust-huge");
    struct Huge {
        std::string name, what;
        Bytes bytes;
    };
    std::vector<Huge> huge{
        {"huge.png", "PNG whose header says 20000 x 20000", HugeHeader("png")},
        {"huge.gif", "GIF whose screen and frame say 20000 x 20000", HugeHeader("gif")},
        {"huge.jpg", "JPEG whose frame header says 20000 x 20000", HugeHeader("jpeg")},
        {"huge.bmp", "1-bit BMP of 20000 x 20000 (50 MB, all there)", CraftBmp(20000, 20000, 1)},
        {"claims.jpg", "JPEG whose frame header says 60000 x 60000 over 64 x 48 pixels",
         HugeHeader("jpeg", 60000, 64, 48)},
        {"claims.png", "PNG whose header says 100000 x 100000 over 300 x 200 pixels",
         HugeHeader("png", 100000, 300, 200)},
        {"claims.tif", "TIFF whose directory says 60000 x 60000 over 64 x 48 pixels",
         HugeHeader("tiff", 60000, 64, 48)},
    };
    for (const Huge& h : huge) REQUIRE(WriteWholeFile(folder.File(h.name), h.bytes));
    ListFolder(folder.Path());
    for (const Huge& h : huge) {
        CAPTURE(h.name);
        Ui<DrawPanel>(画板1).SetPicture(test::MakePicture(8, 8, 0xFF0000, "png"));
        REQUIRE(LoadByName(h.name) >= 0);
        std::string shown = PanelState();
        CHECK(shown == "no picture");
        CHECK(IsWindow(MainWindow().Handle()));
        SplitPictureInHalves();
        std::string photo = ProgramFolder() + "\\Photo\\" + FileTitle(h.name, false);
        bool noPieces = !FindFirstFileExists(photo + "_1.jpeg") && !FindFirstFileExists(photo + "_2.jpeg");
        CHECK(noPieces);
        Record("Sizes", h.what, "shows " + shown + "; halving it writes " + (noPieces ? "nothing" : "pieces"),
               "no picture; nothing written", shown == "no picture" && noPieces);
    }
    Ui<EditBox>(编辑框1).SetText("0");
    Ui<EditBox>(编辑框2).SetText("0");
    RunBatch(BatchOperation::Picture, true);
    App().watermarkMode = WatermarkMode::None;
    for (const Huge& h : huge) {
        CAPTURE(h.name);
        std::string after = FileState(folder.File(h.name), h.bytes);
        CHECK(after == "file unchanged");
        Record("Sizes", h.what + ", in a picture batch", after, "file unchanged", after == "file unchanged");
    }
}

TEST_CASE("1 x 1 pictures load, halve, take a watermark and go through a batch") {
    test::StartedMainWindow();
    test::TempFolder folder("varnel-robust-tiny");
    const std::vector<std::string> formats{"jpeg", "png", "bmp", "gif"};
    for (const std::string& f : formats) {
        REQUIRE(WriteWholeFile(folder.File("tiny-" + f + ".pic"), test::MakePicture(1, 1, 0x102030, f.c_str())));
    }
    ListFolder(folder.Path());
    std::string photo = ProgramFolder() + "\\Photo\\";
    for (const std::string& f : formats) {
        CAPTURE(f);
        std::string name = "tiny-" + f + ".pic";
        REQUIRE(LoadByName(name) >= 0);
        std::string shown = PanelState();
        CHECK(shown == "a 1 x 1 picture");
        // A picture one pixel wide has no halves: halves of the same name
        // from an earlier picture must not be replaced by empty files.
        std::string title = FileTitle(name, false);
        Bytes earlier{'e', 'a', 'r', 'l', 'i', 'e', 'r'};
        REQUIRE(WriteWholeFile(photo + title + "_1.jpeg", earlier));
        REQUIRE(WriteWholeFile(photo + title + "_2.jpeg", earlier));
        SplitPictureInHalves();
        std::string first = FileState(photo + title + "_1.jpeg", earlier);
        std::string second = FileState(photo + title + "_2.jpeg", earlier);
        DeleteFileA((photo + title + "_1.jpeg").c_str());
        DeleteFileA((photo + title + "_2.jpeg").c_str());
        CHECK(first == "file unchanged");
        CHECK(second == "file unchanged");
        CHECK(IsWindow(MainWindow().Handle()));
        Record("Sizes", "1 x 1 " + f + " picture, halved over earlier halves of its name",
               "shows " + shown + "; earlier halves: " + first + ", " + second,
               "shown; no halves exist, the earlier ones are kept",
               shown == "a 1 x 1 picture" && first == "file unchanged" && second == "file unchanged");
        if (f == "png") {
            // Cells of a cut 1 pixel wide: none exist.
            REQUIRE(CreateDirectoryA(folder.File(title).c_str(), nullptr));
            std::string cell = folder.File(title) + "\\" + title + "-1.jpg";
            REQUIRE(WriteWholeFile(cell, earlier));
            App().verticalCutCount = 1;
            App().horizontalCutCount = 0;
            CutPictureByLines();
            App().verticalCutCount = 0;
            std::string kept = FileState(cell, earlier);
            CHECK(kept == "file unchanged");
            Record("Sizes", "1 x 1 picture cut by one vertical line over an earlier cell of its name",
                   "earlier cell: " + kept, "no cells exist; the earlier one is kept", kept == "file unchanged");
            DeleteFileA(cell.c_str());
            DeleteFileA((folder.File(title) + "\\" + title + "-2.jpg").c_str());
            RemoveDirectoryA(folder.File(title).c_str());
        }
    }
    std::vector<Bytes> pieces;
    CHECK_FALSE(CutPicture(test::MakePicture(1, 1, 0x102030, "png"), pieces, 2, CutDirection::SideBySide, PictureFormat::Png));
    CHECK_FALSE(CutPicture(test::MakePicture(1, 1, 0x102030, "png"), pieces, 2, CutDirection::Stacked, PictureFormat::Png));
    CHECK(pieces.empty());
    App().watermarkPosition = WatermarkPosition{0, 0};
    ApplyPictureWatermark();
    std::string marked = PanelState();
    CHECK(marked != "no picture");
    Record("Sizes", "picture watermark on a 1 x 1 picture", "preview becomes " + marked, "a picture",
           marked != "no picture");
    App().watermarkMode = WatermarkMode::None;

    Ui<EditBox>(编辑框1).SetText("0");
    Ui<EditBox>(编辑框2).SetText("0");
    RunBatch(BatchOperation::Picture, true);
    App().watermarkMode = WatermarkMode::None;
    for (const std::string& f : formats) {
        CAPTURE(f);
        const Bytes written = ReadWholeFile(folder.File("tiny-" + f + ".pic"));
        BmpHeader header;
        bool whole = IsWholeBmp24(DecodePictureToBmp24(written), &header);
        // A name that says no format keeps the format the file had.
        bool ok = whole && header.width == 1 && header.height == 1 &&
                  FormatOfBytes(written) == FormatOfBytes(test::MakePicture(1, 1, 0x102030, f.c_str()));
        CHECK(ok);
        Record("Sizes", "1 x 1 " + f + " picture named .pic in a picture batch",
               ok ? "file replaced by a whole 1 x 1 picture of its own format" : "file not a whole 1 x 1 picture of its format",
               "a whole 1 x 1 picture of its own format", ok);
    }
}

TEST_CASE("watermark pictures of 1, 8, 24 and 32 bits per pixel") {
    test::StartedMainWindow();
    test::TempFolder folder("varnel-robust-marks");
    REQUIRE(WriteWholeFile(folder.File("white.png"), test::MakePicture(300, 200, 0xFFFFFF, "png")));
    ListFolder(folder.Path());
    PictureBox& markBox = Ui<PictureBox>(图片框3);
    Bytes original = markBox.Picture();
    for (int bits : {1, 8, 24, 32}) {
        CAPTURE(bits);
        markBox.SetPicture(CraftBmp(40, 20, bits));
        std::string mark = PictureState(markBox.Picture());
        REQUIRE(LoadByName("white.png") >= 0);
        App().watermarkPosition = WatermarkPosition{10, 10};
        ApplyPictureWatermark();
        const Bytes& composed = Ui<DrawPanel>(画板1).Picture();
        BmpHeader header;
        bool whole = IsWholeBmp24(composed, &header);
        // The mark's left half is black, its right half white (no mark).
        bool dark = whole && Pixel(composed, 15, 15) == 0;
        bool clear = whole && Pixel(composed, 45, 15) == 0xFFFFFF && Pixel(composed, 5, 5) == 0xFFFFFF;
        CHECK(mark == "a 40 x 20 picture");
        CHECK(dark);
        CHECK(clear);
        Record("Watermark pictures", std::to_string(bits) + "-bit BMP watermark, 40 x 20, half black",
               "mark box holds " + mark + "; black half multiplied in: " + (dark ? "yes" : "no") +
                   "; white half left the picture: " + (clear ? "yes" : "no"),
               "the mark is applied", dark && clear);
    }
    markBox.SetPicture(Bytes{'x'});
    REQUIRE(LoadByName("white.png") >= 0);
    ApplyPictureWatermark();
    std::string none = PanelState();
    CHECK(none == "no picture");
    Record("Watermark pictures", "a watermark file that is no picture", "preview shows " + none,
           "no watermark (the defined empty result)", none == "no picture");
    Bytes white = ReadWholeFile(folder.File("white.png"));
    Ui<EditBox>(编辑框1).SetText("0");
    Ui<EditBox>(编辑框2).SetText("0");
    RunBatch(BatchOperation::Picture, true);
    std::string after = FileState(folder.File("white.png"), white);
    CHECK(after == "file unchanged");
    Record("Watermark pictures", "a picture batch with a watermark file that is no picture", after,
           "file unchanged", after == "file unchanged");
    markBox.SetPicture(original);
    App().watermarkMode = WatermarkMode::None;
}
