#include <algorithm>
#include <cmath>
#include <cstring>

#include "graphics/canvas/canvas.h"
#include "graphics/canvas/canvas_internal.h"
#include "platform/file_services.h"

namespace varnel {

using namespace canvas_detail;

namespace {

constexpr size_t kFileHeaderSize = 14;

// Room for the header and the largest colour table GetDIBits may write, so a
// palette format cannot overrun it.
struct DibInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

// The info block of the file: the header and its colour table, at least one
// entry long, which keeps the pixels of a true-colour canvas at offset 58.
size_t InfoSize(const DibInfo& info) {
    size_t entries = 1;
    if (info.header.biBitCount <= 8) {
        entries = info.header.biClrUsed ? info.header.biClrUsed : (size_t{1} << info.header.biBitCount);
    }
    return sizeof(BITMAPINFOHEADER) + std::min<size_t>(entries, 256) * sizeof(RGBQUAD);
}

void PutLittleEndian(Bytes& out, size_t offset, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[offset + static_cast<size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
}

Bytes Assemble(const DibInfo& info, const unsigned char* pixels, size_t pixelBytes) {
    const size_t infoSize = InfoSize(info);
    Bytes file(kFileHeaderSize + infoSize, 0);
    PutLittleEndian(file, 0, 19778, 2);  // "BM"
    PutLittleEndian(file, 2, static_cast<uint32_t>(kFileHeaderSize + infoSize + info.header.biSizeImage), 4);
    PutLittleEndian(file, 10, static_cast<uint32_t>(kFileHeaderSize + infoSize), 4);
    std::memcpy(file.data() + kFileHeaderSize, &info, infoSize);
    file.insert(file.end(), pixels, pixels + pixelBytes);
    return file;
}

// Hue in degrees, saturation and lightness in percent, each truncated.
struct Hsl {
    double hue;
    double saturation;
    double lightness;
};

Hsl ToHsl(int red, int green, int blue) {
    const double r = red / 255.0, g = green / 255.0, b = blue / 255.0;
    const double high = std::max({r, g, b});
    const double low = std::min({r, g, b});
    const double delta = high - low;
    double hue = 0;
    if (high == low) hue = 0;
    else if (high == r) hue = 60 * (g - b) / delta + (g >= b ? 0 : 360);
    else if (high == g) hue = 60 * (b - r) / delta + 120;
    else hue = 60 * (r - g) / delta + 240;
    const double lightness = (high + low) / 2;
    double saturation = 0;
    if (std::fabs(lightness) < 0.0000001 || high == low) saturation = 0;
    else if (lightness <= 0.5) saturation = delta / (high + low);
    else saturation = delta / (2 - high - low);
    hue = std::clamp(hue, 0.0, 360.0);
    saturation = std::clamp(saturation, 0.0, 1.0);
    return Hsl{static_cast<double>(Truncate(hue)), static_cast<double>(Truncate(saturation * 100)),
               static_cast<double>(Truncate(std::clamp(lightness, 0.0, 1.0) * 100))};
}

unsigned char ToByte(double unit) { return static_cast<unsigned char>(std::clamp(Truncate(unit * 255), 0, 255)); }

// A shifted triple can leave the ranges; the hue goes round the circle and the
// other two stop at their ends, so no channel wraps past 255.
void FromHsl(Hsl hsl, unsigned char& red, unsigned char& green, unsigned char& blue) {
    double hue = std::fmod(hsl.hue, 360.0);
    if (hue < 0) hue += 360;
    const double h = hue / 360;
    const double s = std::clamp(hsl.saturation, 0.0, 100.0) / 100;
    const double l = std::clamp(hsl.lightness, 0.0, 100.0) / 100;
    if (s == 0) {
        red = green = blue = ToByte(l);
        return;
    }
    const double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
    const double p = 2 * l - q;
    const auto channel = [p, q](double t) {
        if (t < 0) t += 1;
        if (t > 1) t -= 1;
        if (t < 1.0 / 6) return p + (q - p) * 6 * t;
        if (t < 1.0 / 2) return q;
        if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
        return p;
    };
    red = ToByte(channel(h + 1.0 / 3));
    green = ToByte(channel(h));
    blue = ToByte(channel(h - 1.0 / 3));
}

}  // namespace

namespace {

// Reads the bitmap's format, then its rows bottom-up. The header size is the
// standard 40, which every BMP reader and GetDIBits itself accept.
bool ReadDib(HDC dc, HBITMAP bitmap, DibInfo& info, Bytes* pixels) {
    std::memset(&info, 0, sizeof(info));
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    if (!dc || !bitmap) return false;
    BITMAP object{};
    GetObjectA(bitmap, sizeof(object), &object);
    auto* block = reinterpret_cast<BITMAPINFO*>(&info);
    if (!GetDIBits(dc, bitmap, 0, 0, nullptr, block, DIB_RGB_COLORS)) return false;
    // Plain rows: with bit fields the platform would write three masks
    // where the file keeps one colour entry.
    info.header.biCompression = BI_RGB;
    const uint32_t stride = ((static_cast<uint32_t>(info.header.biWidth) * info.header.biBitCount + 31) / 32) * 4;
    info.header.biSizeImage = stride * static_cast<uint32_t>(std::abs(info.header.biHeight));
    if (!pixels) return true;
    pixels->assign(info.header.biSizeImage, 0);
    return GetDIBits(dc, bitmap, 0, static_cast<UINT>(object.bmHeight), pixels->data(), block, DIB_RGB_COLORS) != 0;
}

}  // namespace

Bytes Canvas::GetImageData() const {
    FlushImaging();
    DibInfo info;
    Bytes pixels;
    if (!ReadDib(memoryDc_, bitmap_, info, &pixels)) return Bytes();
    return Assemble(info, pixels.data(), pixels.size());
}

Bytes Canvas::BuildImageData(const Bytes& pixels) const {
    DibInfo info;
    if (!ReadDib(memoryDc_, bitmap_, info, nullptr)) return Bytes();
    return Assemble(info, pixels.data(), pixels.size());
}

Bytes Canvas::GetPixelBuffer() const {
    FlushImaging();
    DibInfo info;
    Bytes pixels;
    if (!ReadDib(memoryDc_, bitmap_, info, &pixels)) return Bytes();
    return pixels;
}

// A buffer shorter than the bitmap's rows would make SetDIBits read past its
// end, so it is refused.
bool Canvas::SetPixelBuffer(const Bytes& pixels) {
    DibInfo info;
    if (!ReadDib(memoryDc_, bitmap_, info, nullptr)) return false;
    if (pixels.size() < info.header.biSizeImage) return false;
    FlushImaging();
    return SetDIBits(memoryDc_, bitmap_, 0, static_cast<UINT>(std::abs(info.header.biHeight)),
                     pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) != 0;
}

bool Canvas::SaveBitmapFile(const std::string& path) const {
    if (path.empty()) return false;
    const Bytes data = GetImageData();
    if (data.empty()) return false;
    FileHandle file = OpenFileHandle(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
           written == data.size();
}

namespace {
// The colour operations work on four bytes a pixel; a canvas of another
// format is left as it is rather than scrambled.
bool TrueColorPixels(HDC dc, HBITMAP bitmap, Bytes& pixels) {
    DibInfo info;
    return ReadDib(dc, bitmap, info, &pixels) && info.header.biBitCount == 32;
}
}  // namespace

bool Canvas::Grayscale() {
    Bytes pixels;
    FlushImaging();
    if (!TrueColorPixels(memoryDc_, bitmap_, pixels)) return false;
    for (size_t i = 0; i + 3 < pixels.size(); i += 4) {
        const float mean = (pixels[i] + pixels[i + 1] + pixels[i + 2]) / 3.0f;
        pixels[i] = pixels[i + 1] = pixels[i + 2] = static_cast<unsigned char>(mean);
    }
    return SetPixelBuffer(pixels);
}

// Each pixel is blue, green, red in memory; reading it in that order keeps a
// positive hue shift turning red towards yellow, as hue runs.
bool Canvas::AdjustHsl(float hueShift, float saturationShift, float lightnessShift) {
    Bytes pixels;
    FlushImaging();
    if (!TrueColorPixels(memoryDc_, bitmap_, pixels)) return false;
    for (size_t i = 0; i + 3 < pixels.size(); i += 4) {
        Hsl hsl = ToHsl(pixels[i + 2], pixels[i + 1], pixels[i]);
        hsl.hue += hueShift;
        hsl.saturation += saturationShift;
        hsl.lightness += lightnessShift;
        FromHsl(hsl, pixels[i + 2], pixels[i + 1], pixels[i]);
    }
    return SetPixelBuffer(pixels);
}

}  // namespace varnel
