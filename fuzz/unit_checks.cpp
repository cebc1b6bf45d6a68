// Plain native checks of the same portable code, run under the sanitizers
// before the fuzzers; with "--seeds DIR" it writes a starting corpus for each
// fuzzer instead.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/path_text.h"
#include "app/operations/watermark_blend.h"
#include "platform/bmp_format.h"
#include "platform/jpeg_colour.h"
#include "platform/jpeg_idct.h"
#include "platform/picture_header.h"

using namespace varnel;

namespace {
int failures = 0;
void Expect(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "FAILED: %s\n", what);
        ++failures;
    }
}

void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

Bytes Solid(int w, int h, unsigned char value) {
    Bytes rows(static_cast<size_t>(w) * 3 * h, value);
    return MakeBmp24(w, h, rows.data(), static_cast<size_t>(w) * 3);
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Headers alone, each claiming width x height, for the claimed-size reader.
Bytes Jpeg(int w, int h) {
    return Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 'J', 'F', 0xFF, 0xFF, 0xC0, 0, 11, 8,
                 static_cast<unsigned char>(h >> 8), static_cast<unsigned char>(h), static_cast<unsigned char>(w >> 8),
                 static_cast<unsigned char>(w), 1, 1, 0x11, 0, 0xFF, 0xDA};
}
Bytes Png(uint32_t w, uint32_t h) {
    Bytes b = Text(std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16) + std::string(9, '\0'));
    for (int i = 0; i < 4; ++i) b[16 + i] = static_cast<unsigned char>(w >> (24 - 8 * i));
    for (int i = 0; i < 4; ++i) b[20 + i] = static_cast<unsigned char>(h >> (24 - 8 * i));
    return b;
}
Bytes Tiff(uint16_t w, uint32_t h) {  // width a SHORT, height a LONG
    Bytes b = Text(std::string("II*\0\x08\0\0\0\x02\0", 10) + std::string(24 + 4, '\0'));
    b[10] = 0x00, b[11] = 1, b[12] = 3, b[14] = 1, b[18] = static_cast<unsigned char>(w), b[19] = w >> 8;
    b[22] = 0x01, b[23] = 1, b[24] = 4, b[26] = 1;
    Put32(b, 30, h);
    return b;
}
Bytes Gif(int screen, int left, int frame) {
    Bytes b = Text(std::string("GIF89a", 6) + std::string(7, '\0'));
    b[6] = b[8] = static_cast<unsigned char>(screen);
    b[7] = b[9] = static_cast<unsigned char>(screen >> 8);
    Bytes d{0x21, 0xF9, 4, 0, 0, 0, 0, 0, 0x2C, static_cast<unsigned char>(left), static_cast<unsigned char>(left >> 8),
            0, 0, static_cast<unsigned char>(frame), static_cast<unsigned char>(frame >> 8),
            static_cast<unsigned char>(frame), static_cast<unsigned char>(frame >> 8), 0, 2, 1, 0, 0, 0x3B};
    b.insert(b.end(), d.begin(), d.end());
    return b;
}
Bytes Icon(const Bytes& inside) {
    Bytes b = Text(std::string("\0\0\1\0\1\0\x10\x10", 8) + std::string(14, '\0'));
    Put32(b, 18, 22);
    b.insert(b.end(), inside.begin(), inside.end());
    return b;
}
bool Claims(const Bytes& b, long long w, long long h) {
    ClaimedSize c = ReadClaimedSize(b.data(), b.size());
    return c.known && c.width == w && c.height == h;
}

void WriteSeeds(const std::string& dir) {
    WriteFile(dir + "/bmp_format/solid", Solid(5, 3, 0x80));
    WriteFile(dir + "/bmp_format/one", Solid(1, 1, 0));
    Bytes lying = Solid(4, 4, 1);
    Put32(lying, 22, 4000);
    WriteFile(dir + "/bmp_format/lying", lying);
    Bytes blend{3, 0, 0, 0, 2, 0, 0, 0, 3, 160};
    Bytes base = Solid(7, 5, 0xFF), mark = Solid(3, 2, 0x40);
    blend.insert(blend.end(), base.begin(), base.end());
    blend[9] = static_cast<unsigned char>(base.size() * 256 / (base.size() + mark.size()) + 1);
    blend.insert(blend.end(), mark.begin(), mark.end());
    WriteFile(dir + "/blend/pair", blend);
    WriteFile(dir + "/path_text/gbk", Text("C:\\\xB1\\\xCA\\\xE8\\\\a.jpg"));
    WriteFile(dir + "/path_text/plain", Text("D:\\pictures\\x.y\\photo.png"));
    WriteFile(dir + "/path_text/trail", Text("\xD3\\"));
    WriteFile(dir + "/picture_header/jpeg", Jpeg(640, 480));
    WriteFile(dir + "/picture_header/png", Png(300, 200));
    WriteFile(dir + "/picture_header/gif", Gif(20, 3, 10));
    WriteFile(dir + "/picture_header/bmp", Solid(5, 3, 0));
    WriteFile(dir + "/picture_header/tiff", Tiff(70, 50));
    WriteFile(dir + "/picture_header/icon", Icon(Png(48, 48)));
    // A JPEG head with an EXIF block saying "turned a quarter" (6).
    const Bytes exif{0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 0x2A, 0, 8, 0, 0, 0,
                     1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xD9};
    WriteFile(dir + "/jpeg/exif", exif);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--seeds") == 0) {
        WriteSeeds(argv[2]);
        return 0;
    }
    // 0xB1 0x5C is one GBK character: its trail byte is not a separator.
    std::string gbk = "C:\\\xD5\xE2\\\xB1\\";  // C:\这\笔 with 笔 = B1 5C
    Expect(LastSeparator(gbk, &IsGbkLeadByte) == 5, "a 0x5C trail byte is no separator");
    Expect(!EndsWithSeparator(gbk, &IsGbkLeadByte), "a path ending in a 0x5C trail byte has no final separator");
    Expect(LastComponent(gbk, &IsGbkLeadByte) == "\xB1\\", "the last component keeps the whole character");
    Expect(LastExtension("C:\\a.b\\\xB1\\", &IsGbkLeadByte).empty(), "a dot in a folder is no extension");
    Expect(LastExtension("C:\\\xB1\\.jpg", &IsGbkLeadByte) == ".jpg", "the extension after a GBK name");
    Expect(LastComponent(std::string("\xFE"), &IsGbkLeadByte) == "\xFE", "a lone lead byte at the end");
    Expect(LastSeparator("", &IsGbkLeadByte) == std::string::npos, "an empty path has no separator");

    // A header that claims more rows than the file holds is not a picture.
    Bytes lying = Solid(4, 4, 1);
    Put32(lying, 22, 4000);
    Expect(!IsWholeBmp24(lying), "a header that lies about its height");
    Bytes wide = Solid(4, 4, 1);
    Put32(wide, 18, 0x7FFFFFFF);
    Expect(!IsWholeBmp24(wide), "a header that lies about its width");
    Bytes negative = Solid(4, 4, 1);
    Put32(negative, 22, static_cast<uint32_t>(-4));
    Expect(!IsWholeBmp24(negative), "a top-down header is not taken as bottom-up");
    Bytes offset = Solid(4, 4, 1);
    Put32(offset, 10, 20);
    Expect(!IsWholeBmp24(offset), "pixels that overlap the header");
    Expect(!IsWholeBmp24(Bytes(53, 0)), "too short for a header");
    Expect(MakeBmp24(20000, 20000, nullptr, 0).empty(), "20000 x 20000 is refused");
    Expect(MakeBmp24(0, 5, nullptr, 0).empty() && MakeBmp24(5, -1, nullptr, 0).empty(), "no empty sizes");

    // Claimed sizes are read from headers alone, and huge claims refused.
    Expect(Claims(Jpeg(60000, 60000), 60000, 60000) && !ClaimFitsLimit(Jpeg(60000, 60000)), "a JPEG frame's claim");
    Expect(Claims(Png(100000, 100000), 100000, 100000) && !ClaimFitsLimit(Png(100000, 100000)), "a PNG's claim");
    Expect(Claims(Png(0xFFFFFFFF, 0xFFFFFFFF), 1LL << 31, 1LL << 31), "a PNG's claim past 2^31 is capped");
    Expect(Claims(Gif(20, 20, 65000), 65020, 65000) && !ClaimFitsLimit(Gif(20, 20, 65000)), "a GIF frame's claim");
    Expect(Claims(Tiff(60000, 60000), 60000, 60000) && ClaimFitsLimit(Tiff(640, 480)), "a TIFF directory's claim");
    Expect(Claims(Icon(Png(50000, 50000)), 50000, 50000), "the picture inside an icon");
    Bytes tall = Solid(4, 4, 1);
    Put32(tall, 22, static_cast<uint32_t>(-30000));
    Expect(Claims(tall, 4, 30000) && ClaimFitsLimit(Solid(4, 4, 1)), "a top-down BMP's claim");
    Bytes cut = Jpeg(60000, 60000);
    cut.resize(16);
    Expect(ClaimFitsLimit(cut) && !ReadClaimedSize(nullptr, 0).known, "headers cut short claim nothing");

    // Blends at every edge stay inside both pictures.
    Bytes base = Solid(9, 7, 0xFF), mark = Solid(4, 3, 0x00);
    for (int x : {-100000, -5, -1, 0, 1, 5, 8, 9, 10, 2147483647, -2147483647 - 1}) {
        for (int y : {-100000, -1, 0, 4, 6, 7, 8, 2147483647, -2147483647 - 1}) {
            Bytes out = BlendPictureWatermark(base, mark, x, y);
            Expect(out.size() == base.size(), "a blend keeps the size");
        }
    }
    Expect(BlendPictureWatermark(mark, Solid(30, 30, 0), 0, 0).size() == mark.size(), "a mark larger than the picture");
    Expect(BlendPictureWatermark(lying, mark, 0, 0).empty(), "a lying picture gives no result");
    Expect(BlendPictureWatermark(base, lying, 0, 0).empty(), "a lying mark gives no result");
    Expect(BlendPictureWatermark(Solid(1, 1, 0xFF), Solid(1, 1, 0), 0, 0)[54] == 0, "a 1 x 1 blend");

    // The vector inverse DCT gives the plain one's samples on every block
    // shape: sparse blocks, and blocks loud enough that the sums wrap, some
    // only in the first column, whose rows take the plain code's shortcut.
    if (ChooseInverseDct() != &InverseDctPlain) {
        const SampleLimit limit;
        uint32_t seed = 1;
        auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 8; };
        int16_t in[64];
        int quant[64];
        int differing = 0;
        for (int block = 0; block < 40000; ++block) {
            const int kind = block / 4 % 4;
            for (int k = 0; k < 64; ++k) {
                quant[k] = 1 + static_cast<int>(next() % (kind ? 65535 : 60));
                const int most = 32767 / quant[k], any = static_cast<int>(next() % (2 * most + 1)) - most;
                const bool kept = kind == 3 ? k % 8 == 0 : kind || k == 0 || next() % 32 == 0;
                in[k] = static_cast<int16_t>(!kept ? 0 : kind >= 2 ? (next() & 1 ? most : -most) : any);
            }
            const int across = block & 1 ? 16 : 8, down = block & 2 ? 16 : 8;
            uint8_t plain[16 * 16] = {}, vector[16 * 16] = {};
            InverseDctPlain(in, quant, limit, across, down, plain, 16);
            InverseDctAvx2(in, quant, limit, across, down, vector, 16);
            differing += std::memcmp(plain, vector, sizeof(plain)) != 0;
        }
        Expect(differing == 0, "the vector inverse DCT gives the plain one's samples");
        // The vector colour conversion gives the tables' bytes, its last few pixels too.
        const ColourTables tables;
        uint8_t samples[3][301], plainRow[903], vectorRow[903];
        int wrongRows = 0;
        for (int width = 1; width <= 301; width += 2) {
            for (auto& row : samples) for (uint8_t& sample : row) sample = static_cast<uint8_t>(next());
            ColourRowPlain(tables, limit, samples[0], samples[1], samples[2], width, plainRow);
            ColourRowAvx2(tables, limit, samples[0], samples[1], samples[2], width, vectorRow);
            wrongRows += std::memcmp(plainRow, vectorRow, 3 * static_cast<size_t>(width)) != 0;
        }
        Expect(wrongRows == 0, "the vector colour conversion gives the tables' bytes");
    }

    std::printf("unit checks: %s\n", failures ? "FAILED" : "passed");
    return failures ? 1 : 0;
}
