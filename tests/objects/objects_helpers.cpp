#include "tests/objects/objects_helpers.h"

#include "platform/handles.h"

namespace varnel::test {

using namespace Gdiplus::DllExports;

int TestWindow::messagesSeen = 0;

LRESULT CALLBACK TestWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ++messagesSeen;
    if (message == WM_APP) return 4321;
    return DefWindowProcA(window, message, wParam, lParam);
}

TestWindow::TestWindow() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &TestWindow::Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "VarnelObjectsTestWindow";
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        RegisterClassA(&windowClass);
        registered = true;
    }
    window_ = CreateWindowExA(0, "VarnelObjectsTestWindow", "objects", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300,
                              200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

TestWindow::~TestWindow() {
    if (window_) DestroyWindow(window_);
}

namespace {
void Put16(Bytes& out, unsigned value) {
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}
}  // namespace

Bytes MakeAnimatedGif(const std::vector<unsigned>& rgb, const std::vector<int>& delays) {
    Bytes gif{'G', 'I', 'F', '8', '9', 'a'};
    Put16(gif, 1);
    Put16(gif, 1);
    gif.push_back(0x91);  // a global table of 4 colours
    gif.push_back(0);
    gif.push_back(0);
    for (size_t i = 0; i < 4; ++i) {
        unsigned c = i < rgb.size() ? rgb[i] : 0;
        gif.push_back(static_cast<unsigned char>(c >> 16));
        gif.push_back(static_cast<unsigned char>(c >> 8));
        gif.push_back(static_cast<unsigned char>(c));
    }
    const char loop[] = "NETSCAPE2.0";
    gif.insert(gif.end(), {0x21, 0xFF, 0x0B});
    gif.insert(gif.end(), loop, loop + 11);
    gif.insert(gif.end(), {0x03, 0x01, 0x00, 0x00, 0x00});
    for (size_t frame = 0; frame < rgb.size() && frame < 4; ++frame) {
        gif.insert(gif.end(), {0x21, 0xF9, 0x04, 0x00});
        Put16(gif, static_cast<unsigned>(delays[frame]));
        gif.insert(gif.end(), {0x00, 0x00});
        gif.push_back(0x2C);
        Put16(gif, 0);
        Put16(gif, 0);
        Put16(gif, 1);
        Put16(gif, 1);
        gif.push_back(0);
        // Minimum code size 2: clear (4), the colour index, end (5), 3 bits each.
        unsigned codes = 4u | (static_cast<unsigned>(frame) << 3) | (5u << 6);
        gif.insert(gif.end(), {0x02, 0x02, static_cast<unsigned char>(codes & 0xFF),
                               static_cast<unsigned char>(codes >> 8), 0x00});
    }
    gif.push_back(0x3B);
    return gif;
}

Bytes ReadWholeFile(const std::string& path) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    DWORD size = GetFileSize(file.get(), nullptr);
    Bytes bytes(size);
    DWORD read = 0;
    if (size && !ReadFile(file.get(), bytes.data(), size, &read, nullptr)) return {};
    bytes.resize(read);
    return bytes;
}

bool WriteWholeFile(const std::string& path, const Bytes& bytes) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

Decoded Decode(const Bytes& bytes) {
    Decoded result;
    if (bytes.empty()) return result;
    IStream* stream = nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (void* p = GlobalLock(block)) {
        memcpy(p, bytes.data(), bytes.size());
        GlobalUnlock(block);
    }
    if (CreateStreamOnHGlobal(block, TRUE, &stream) != S_OK) {
        GlobalFree(block);
        return result;
    }
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromStream(stream, &bitmap) == Gdiplus::Ok && bitmap) {
        GdipGetImageWidth(bitmap, &result.width);
        GdipGetImageHeight(bitmap, &result.height);
        GdipGetImageRawFormat(bitmap, &result.format);
        Gdiplus::ARGB pixel = 0;
        GdipBitmapGetPixel(bitmap, 0, 0, &pixel);
        result.pixel = pixel;
        GdipDisposeImage(bitmap);
    }
    stream->Release();
    return result;
}

}  // namespace varnel::test
