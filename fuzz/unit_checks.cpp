// Plain native checks of the same portable code, run under the sanitizers
// before the fuzzers; with "--seeds DIR" it writes a starting corpus for each
// fuzzer instead.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/path_text.h"
#include "app/operations/watermark_blend.h"
#include "platform/bmp_format.h"

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

    std::printf("unit checks: %s\n", failures ? "FAILED" : "passed");
    return failures ? 1 : 0;
}
