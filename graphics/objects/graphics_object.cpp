#include "graphics/objects/graphics_object.h"

#include "platform/gdiplus_flat.h"

namespace varnel {

int lastStatus = 0;

namespace {
std::string& ErrorTextStore() {
    static std::string text;
    return text;
}
ULONG_PTR imagingToken = 0;
}  // namespace

const std::string& errorText() { return ErrorTextStore(); }
void SetErrorText(const std::string& text) { ErrorTextStore() = text; }
void AppendErrorText(const std::string& text) { ErrorTextStore() += text; }
void ReleaseErrorText() { std::string().swap(ErrorTextStore()); }

Bytes ToWideText(const std::string& text) {
    int units = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (units < 1) units = 1;
    Bytes wide(static_cast<size_t>(units) * 2, 0);
    // Only up to the first zero byte, as the size above counted: a text with
    // an embedded zero must not spill over the terminator.
    int length = lstrlenA(text.c_str());
    if (length > 0) {
        // The buffer is one unit longer than the converted text, so the last
        // unit stays zero and terminates it.
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), length, reinterpret_cast<wchar_t*>(wide.data()), units - 1);
    }
    return wide;
}

std::string FromWideText(const wchar_t* text) {
    if (!text) return std::string();
    int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return std::string();
    std::string narrow(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &narrow[0], bytes, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(bytes) - 1);
    return narrow;
}

ULONG_PTR StartImaging() {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    input.GdiplusVersion = 1;
    input.DebugEventCallback = nullptr;
    input.SuppressBackgroundThread = FALSE;
    input.SuppressExternalCodecs = FALSE;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    return token;
}

void StartImagingService() {
    if (!imagingToken) imagingToken = StartImaging();
}

void* GraphicsObject::AllocateMemory(uint32_t size) { return Gdiplus::DllExports::GdipAlloc(size); }
void GraphicsObject::FreeMemory(void* block) { Gdiplus::DllExports::GdipFree(block); }

}  // namespace varnel
