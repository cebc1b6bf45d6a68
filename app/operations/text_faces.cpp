#include "app/operations/text_faces.h"

#include <vector>

#include "app/operations/watermark_rendering.h"
#include "graphics/objects/graphics_object.h"
#include "platform/handles.h"

namespace varnel {

namespace {

using namespace Gdiplus::DllExports;

// Whether the face is installed, and which characters of `text` it has glyphs for.
struct FaceAnswer {
    bool installed = false;
    std::vector<bool> present;
};

FaceAnswer AskFace(const std::string& face, const std::wstring& text) {
    FaceAnswer answer;
    answer.present.assign(text.size(), false);
    MemoryDc dc(CreateCompatibleDC(nullptr));
    FontHandle font(CreateFontA(-32, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face.c_str()));
    if (!dc || !font) return answer;
    SelectScope select(dc.get(), font.get());
    // A face that is not installed is silently replaced by another.
    char chosen[LF_FACESIZE] = {};
    GetTextFaceA(dc.get(), sizeof(chosen), chosen);
    answer.installed = lstrcmpiA(chosen, face.c_str()) == 0;
    std::vector<WORD> glyphs(text.size());
    if (!answer.installed || text.empty() ||
        GetGlyphIndicesW(dc.get(), text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                         GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) {
        return answer;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        // Spaces and line ends show in any face.
        answer.present[i] = glyphs[i] != 0xFFFF || text[i] == L' ' || text[i] == L'\r' || text[i] == L'\n';
    }
    return answer;
}

bool HasAll(const std::vector<bool>& present) {
    for (bool p : present) {
        if (!p) return false;
    }
    return true;
}

}  // namespace

bool IsFaceInstalled(const std::string& face) { return !face.empty() && AskFace(face, std::wstring()).installed; }

std::string FaceWithGlyphs(const std::wstring& text) {
    static constexpr const char* kFaces[] = {"微软雅黑", "Microsoft YaHei", "SimSun", "宋体", "SimHei",
                                             "黑体", "文泉驿微米黑", "WenQuanYi Micro Hei", "Noto Sans CJK SC",
                                             "Arial Unicode MS", "Segoe UI Symbol"};
    for (const char* face : kFaces) {
        const FaceAnswer answer = AskFace(face, text);
        if (answer.installed && HasAll(answer.present)) return face;
    }
    return std::string();
}

std::optional<Gdiplus::RectF> DrawTextWithFallback(Gdiplus::GpGraphics* graphics, const WatermarkSettings& settings,
                                                   TextStyle style, float x, float y) {
    const Bytes wideBytes = ToWideText(settings.text);
    const std::wstring text(reinterpret_cast<const wchar_t*>(wideBytes.data()));
    // A face that is not there draws nothing, as before; one that is there
    // but lacks glyphs gets help.
    const FaceAnswer chosenFace = AskFace(settings.fontName, text);
    const std::vector<bool>& present = chosenFace.present;
    if (!graphics || !chosenFace.installed || HasAll(present)) return std::nullopt;
    std::wstring missing;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!present[i]) missing += text[i];
    }
    WatermarkSettings other = settings;
    other.fontName = FaceWithGlyphs(missing);
    if (other.fontName.empty()) return std::nullopt;
    TextTools chosen, fallback;
    const bool chosenMade = MakeTextTools(settings, style, chosen);
    if (!MakeTextTools(other, style, fallback)) return std::nullopt;
    // Runs are laid end to end by their typographic widths: the usual
    // padding around a measured text would open gaps between them.
    Gdiplus::GpStringFormat* format = nullptr;
    if (GdipStringFormatGetGenericTypographic(&format) != Gdiplus::Ok) return std::nullopt;
    Gdiplus::GpStringFormat* own = nullptr;
    GdipCloneStringFormat(format, &own);
    Gdiplus::RectF box(x, y, 0, 0);
    float at = x;
    for (size_t start = 0; start < text.size();) {
        size_t end = start;
        while (end < text.size() && present[end] == present[start]) ++end;
        const TextTools& tools = present[start] && chosenMade ? chosen : fallback;
        auto* font = static_cast<Gdiplus::GpFont*>(tools.font.GetNativeHandle());
        const std::wstring run = text.substr(start, end - start);
        const Gdiplus::RectF unbounded(0, 0, 0, 0);
        Gdiplus::RectF measured(0, 0, 0, 0);
        GdipMeasureString(graphics, run.c_str(), static_cast<INT>(run.size()), font, &unbounded, own, &measured,
                          nullptr, nullptr);
        const Gdiplus::RectF layout(at, y, measured.Width, measured.Height);
        GdipDrawString(graphics, run.c_str(), static_cast<INT>(run.size()), font, &layout, own,
                       static_cast<Gdiplus::GpBrush*>(tools.brush.GetNativeHandle()));
        at += measured.Width;
        if (measured.Height > box.Height) box.Height = measured.Height;
        start = end;
    }
    if (own) GdipDeleteStringFormat(own);
    box.Width = at - x;
    return box;
}

}  // namespace varnel
