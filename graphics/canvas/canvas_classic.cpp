#include <cmath>

#include "graphics/canvas/canvas.h"
#include "graphics/canvas/canvas_internal.h"

namespace varnel {

namespace canvas_detail {
const char* const kPenSelectFailed = "选入画笔失败(SelectObject()返回0)请检查画笔是否已创建";
const char* const kBrushSelectFailed = "选入刷子失败(SelectObject()返回0)请检查刷子是否已创建";
}  // namespace canvas_detail

using namespace canvas_detail;

namespace {

const char* const kBezierRule =
    "画多条贝塞尔曲线 的第一个参数 点集合 点 数组类型 中的第一个点指定了起点。剩下的点三个一组——包括两个控件点和一个终点，"
    "必须符合规范，除去一个，必能与3整除！";
const char* const kPointCountOutOfRange = "点的数目超出点集合的成员数(数目必须在0到成员数之间)请检查提供的参数";
const char* const kGradientTooFewVertices = "渐变填充失败(顶点少于2个)请检查提供的顶点集合";
const char* const kGradientFailed = "渐变填充失败(GdiGradientFill()返回值为0)";
const char* const kFontFailed = "创建字体失败(CreateFontA()返回0)请检查GDI_字体是否已创建";
const char* const kFontSelectFailed = "选入字体到内存设备场景失败(SelectObject()返回0)请检查GDI_字体是否已创建";
const char* const kDrawTextFailed = "写出文本失败(DrawTextEx()返回0)请检查GDI_字体是否已创建";
const char* const kShadowTextFailed = "写出文本失败(DrawShadowText()返回0)请检查GDI_字体是否已创建";

using ArcLike = BOOL(WINAPI*)(HDC, int, int, int, int, int, int, int, int);

// Angles in degrees turn counter-clockwise from straight up; each radial
// point lies 50 units from the box's centre, which only fixes its direction.
BOOL Radial(ArcLike draw, HDC dc, int x, int y, int width, int height, double startAngle, double endAngle) {
    const auto radial = [&](double angle, int& px, int& py) {
        const double theta = (angle + 180) * 3.1415926535 / 180;
        px = Truncate(x + std::sin(theta) * 50 + width / 2.0);
        py = Truncate(y + std::cos(theta) * 50 + height / 2.0);
    };
    int xStart = 0, yStart = 0, xEnd = 0, yEnd = 0;
    radial(startAngle, xStart, yStart);
    radial(endAngle, xEnd, yEnd);
    return draw(dc, x, y, Sum(x, width), Sum(y, height), xStart, yStart, xEnd, yEnd);
}

const char* LineBetween(HDC dc, int x1, int y1, int x2, int y2) {
    POINT previous{};
    if (!::MoveToEx(dc, x1, y1, &previous)) return "指定画笔位置失败(MoveToEx()返回0)请检查GDI_图形是否已创建";
    return Check(::LineTo(dc, x2, y2), "画直线失败(LineTo()返回0)请检查GDI_图形是否已创建");
}

// A classic rectangle from a box, passed by address.
struct Box {
    Box(int x, int y, int width, int height) : rect{x, y, Sum(x, width), Sum(y, height)} {}
    operator const RECT*() const { return &rect; }
    RECT rect;
};

// Checks the count against the array (and Bézier chains against their
// one-plus-threes rule) before the shape is drawn.
template <typename Body>
bool DrawPoints(HDC dc, Tools tools, HGDIOBJ tool, const GdiPointArray& points, std::optional<int> given,
                bool bezierRule, Body body) {
    const int count = given ? *given : Count(points);
    if (count < 0 || count > Count(points)) {
        AppendErrorText(kPointCountOutOfRange);
        return false;
    }
    if (bezierRule && std::fabs(std::fmod(count - 1.0, 3.0)) > 0.0000001) {
        AppendErrorText(kBezierRule);
        return false;
    }
    return DrawFramed(dc, tools, tool, [&]() { return body(count); });
}

COLOR16 Channel(int16_t value) {
    const int clamped = value < 0 ? 0 : (value > 255 ? 255 : value);
    return static_cast<COLOR16>(clamped << 8);
}

FontHandle MakeFont(const GdiFontSpec& request) {
    return FontHandle(CreateFontA(request.height, request.width, request.angle, request.angle, request.weight,
                                  request.italic ? 1 : 0, request.underline ? 1 : 0, request.strikeOut ? 1 : 0,
                                  GB2312_CHARSET, 0, 0, DRAFT_QUALITY, 0, request.faceName.c_str()));
}

void SetBackground(HDC dc, std::optional<COLORREF> background) {
    if (background) {
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, *background);
    } else {
        SetBkMode(dc, TRANSPARENT);
    }
}

using ShadowTextFunction = int(WINAPI*)(HDC, LPCWSTR, UINT, RECT*, DWORD, COLORREF, COLORREF, int, int);

// DrawShadowText is not in the import library; the program has the common
// controls loaded from start-up, so it is looked up there.
ShadowTextFunction ShadowText() {
    HMODULE controls = GetModuleHandleA("comctl32.dll");
    if (!controls) return nullptr;
    return reinterpret_cast<ShadowTextFunction>(
        reinterpret_cast<void*>(GetProcAddress(controls, "DrawShadowText")));
}

}  // namespace

#define CANVAS_CLASSIC_SHAPE(Name, Params, Selection, Tool, Body)                  \
    bool Canvas::Name Params {                                                      \
        const HDC dc = memoryDc_;                                             \
        return DrawFramed(dc, Tools::Selection, Tool, [&]() -> const char* { return Body; }); \
    }
#define CANVAS_CLASSIC_POINTS(Name, Params, Selection, Tool, BezierRule, Body)                         \
    bool Canvas::Name Params {                                                                          \
        const HDC dc = memoryDc_;                                                                 \
        return DrawPoints(dc, Tools::Selection, Tool, points, count, BezierRule,                       \
                          [&](int used) -> const char* { return Body; });                              \
    }
#define CANVAS_OPTIONAL(value)
#include "graphics/canvas/canvas_ops.def"
#undef CANVAS_OPTIONAL

bool Canvas::GdiGradientFill(const std::vector<GdiVertex>& vertices, ULONG mode) {
    // The one rectangle of the mesh joins vertex 0 and vertex 1.
    if (vertices.size() < 2) {
        AppendErrorText(kGradientTooFewVertices);
        return false;
    }
    std::vector<TRIVERTEX> packed;
    packed.reserve(vertices.size());
    for (const GdiVertex& v : vertices) {
        packed.push_back(TRIVERTEX{v.x, v.y, Channel(v.red), Channel(v.green), Channel(v.blue),
                                   static_cast<COLOR16>(v.alpha << 8)});
    }
    GRADIENT_RECT mesh{0, 1};
    if (!::GradientFill(memoryDc_, packed.data(), static_cast<ULONG>(packed.size()), &mesh, 1, mode)) {
        AppendErrorText(kGradientFailed);
        return false;
    }
    return true;
}

bool Canvas::GdiDrawText(const GdiFontSpec& font, std::optional<COLORREF> background, const std::string& text,
                         RECT& rect, UINT format) {
    const HDC dc = memoryDc_;
    SetBackground(dc, background);
    FontHandle made = MakeFont(font);
    SetTextColor(dc, font.color);
    if (!made) {
        AppendErrorText(kFontFailed);
        return false;
    }
    SelectScope selected(dc, made.get());
    if (!selected.ok()) {
        AppendErrorText(kFontSelectFailed);
        return false;
    }
    // DT_MODIFYSTRING may write up to four more characters into the text.
    std::vector<char> buffer(text.begin(), text.end());
    buffer.resize(buffer.size() + 5, '\0');
    if (!DrawTextExA(dc, buffer.data(), -1, &rect, format, nullptr)) {
        AppendErrorText(kDrawTextFailed);
        return false;
    }
    return true;
}

// The argument the shadow would otherwise ignore gives its colour.
bool Canvas::GdiDrawShadowText(const GdiFontSpec& font, std::optional<COLORREF> background, const std::string& text,
                               RECT& rect, COLORREF shadowColor, int shadowX, int shadowY, DWORD flags) {
    const HDC dc = memoryDc_;
    SetBackground(dc, background);
    FontHandle made = MakeFont(font);
    if (!made) {
        AppendErrorText(kFontFailed);
        return false;
    }
    SelectScope selected(dc, made.get());
    if (!selected.ok()) {
        AppendErrorText(kFontSelectFailed);
        return false;
    }
    const Bytes wide = ToWideText(text);
    const auto* units = reinterpret_cast<const WCHAR*>(wide.data());
    const ShadowTextFunction draw = ShadowText();
    if (!draw || !draw(dc, units, static_cast<UINT>(lstrlenW(units)), &rect, flags, font.color, shadowColor, shadowX,
                       shadowY)) {
        AppendErrorText(kShadowTextFailed);
        return false;
    }
    return true;
}

}  // namespace varnel
