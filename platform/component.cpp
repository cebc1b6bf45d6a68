#include "platform/component.h"

#include "platform/form.h"

namespace varnel {

Component::~Component() {
    // Child windows die with the form's window; a component outliving it has
    // nothing left to free.
}

namespace {
RECT PlaceInParent(HWND window) {
    RECT r{};
    if (!window) return r;
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}
}  // namespace

int Component::Left() const { return hwnd_ ? PlaceInParent(hwnd_).left : def_.left; }
int Component::Top() const { return hwnd_ ? PlaceInParent(hwnd_).top : def_.top; }
int Component::Width() const {
    RECT r = PlaceInParent(hwnd_);
    return hwnd_ ? r.right - r.left : def_.width;
}
int Component::Height() const {
    RECT r = PlaceInParent(hwnd_);
    return hwnd_ ? r.bottom - r.top : def_.height;
}

void Component::Move(int left, int top, int width, int height) {
    if (hwnd_) MoveWindow(hwnd_, left, top, width, height, TRUE);
}

bool Component::Visible() const { return hwnd_ && (GetWindowLongPtrA(hwnd_, GWL_STYLE) & WS_VISIBLE); }

void Component::SetVisible(bool visible) {
    if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

std::string Component::Text() const {
    if (!hwnd_) return std::string();
    int length = GetWindowTextLengthA(hwnd_);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int got = GetWindowTextA(hwnd_, &text[0], length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

void Component::SetText(const std::string& text) {
    if (hwnd_) SetWindowTextA(hwnd_, text.c_str());
}

void Component::Raise(EventKind kind, const EventArgs& args) const { form_.Raise(def_.id, kind, args); }

HWND Component::CreateChild(HWND parent, DWORD exStyle, const char* className, const char* text, DWORD style,
                            int heightOverride) {
    return CreateChildWindow(parent, exStyle, className, text, style,
                             heightOverride >= 0 ? heightOverride : def_.height, false);
}

HWND Component::CreateBoundChild(HWND parent, DWORD exStyle, const char* className, DWORD style) {
    return CreateChildWindow(parent, exStyle, className, "", style, def_.height, true);
}

HWND Component::CreateChildWindow(HWND parent, DWORD exStyle, const char* className, const char* text, DWORD style,
                                  int height, bool bound) {
    if (!(def_.flags & kHidden)) style |= WS_VISIBLE;
    style |= WS_CHILD;
    if (!text) text = "";
    HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(1000 + def_.id));
    hwnd_ = bound ? CreateBound(exStyle, className, text, style, def_.left, def_.top, def_.width, height, parent, id)
                  : CreateWindowExA(exStyle, className, text, style, def_.left, def_.top, def_.width, height,
                                    parent, id, GetModuleHandleA(nullptr), nullptr);
    if (hwnd_) {
        SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(form_.UiFont()), FALSE);
        form_.MapWindow(hwnd_, this);
    }
    return hwnd_;
}

}  // namespace varnel
