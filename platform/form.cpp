#include "platform/form.h"

#include <new>
#include <string>

#include "platform/components.h"
#include "platform/window_class.h"

namespace varnel {

namespace {
const char kFormClass[] = "VarnelForm";
}  // namespace

Form::Form() = default;

Form::~Form() {
    if (hwnd_) DestroyWindow(hwnd_);
}

Form* Form::OfWindow(HWND window) {
    HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
    char name[sizeof(kFormClass) + 1] = {};
    if (!root || !GetClassNameA(root, name, sizeof(name)) || lstrcmpA(name, kFormClass) != 0) return nullptr;
    // Windows of the form's class are bound to their form from their first message.
    return static_cast<Form*>(reinterpret_cast<WindowBase*>(GetWindowLongPtrA(root, GWLP_USERDATA)));
}

HFONT Form::UiFont() const { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

bool Form::Load(const FormDef& def, int showCommand) {
    def_ = &def;
    RegisterWindowClass(kFormClass, &WindowBase::Procedure, CS_HREDRAW | CS_VREDRAW, COLOR_BTNFACE + 1);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!CreateBound(0, kFormClass, def.caption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, def.left, def.top,
                     def.width, def.height, nullptr, nullptr)) {
        return false;
    }

    if (def.iconResource) {
        bigIcon_.reset(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(def.iconResource), IMAGE_ICON,
                                                     GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
        smallIcon_.reset(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(def.iconResource), IMAGE_ICON,
                                                       GetSystemMetrics(SM_CXSMICON),
                                                       GetSystemMetrics(SM_CYSMICON), 0)));
        if (bigIcon_) SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
        if (smallIcon_) SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    }
    if (!CreateMenuBar() || !CreateComponents()) return false;

    Raise(kWindowSource, EventKind::Created, EventArgs());
    created_ = true;
    RECT r;
    GetWindowRect(hwnd_, &r);
    lastSize_ = SIZE{r.right - r.left, r.bottom - r.top};
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    return true;
}

void Form::Close() {
    if (hwnd_) SendMessageA(hwnd_, WM_CLOSE, 0, 0);
}

bool Form::CreateMenuBar() {
    if (!def_->menuCount) return true;
    HMENU bar = CreateMenu();
    std::vector<ACCEL> accelerators;
    std::map<std::string, HMENU> popups;
    for (size_t i = 0; i < def_->menuCount; ++i) {
        const MenuItemDef& item = def_->menu[i];
        HMENU& popup = popups[item.menu];
        if (!popup) {
            popup = CreatePopupMenu();
            AppendMenuA(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), item.menu);
        }
        std::string caption = item.item;
        if (item.shortcut) caption += std::string("\t") + item.shortcut;
        AppendMenuA(popup, MF_STRING, static_cast<UINT_PTR>(item.command), caption.c_str());
        if (item.key) {
            accelerators.push_back(ACCEL{static_cast<BYTE>(FVIRTKEY | item.modifiers), item.key,
                                         static_cast<WORD>(item.command)});
        }
    }
    if (!accelerators.empty()) {
        shortcuts_.reset(CreateAcceleratorTableA(accelerators.data(), static_cast<int>(accelerators.size())));
    }
    return SetMenu(hwnd_, bar) != FALSE;
}

bool Form::CreateComponents() {
    int highest = -1;
    for (size_t i = 0; i < def_->componentCount; ++i) highest = std::max(highest, def_->components[i].id);
    components_.resize(static_cast<size_t>(highest + 1));
    for (size_t i = 0; i < def_->componentCount; ++i) {
        const ComponentDef& row = def_->components[i];
        components_[static_cast<size_t>(row.id)] = MakeComponent(*this, row);
    }
    // Rows are in creation order: a parent's row comes before its children's.
    for (size_t i = 0; i < def_->componentCount; ++i) {
        const ComponentDef& row = def_->components[i];
        HWND parent = row.parent == kWindowSource ? hwnd_ : At(row.parent).ContainerHandle();
        if (!At(row.id).Create(parent)) return false;
    }
    return true;
}

Component* Form::Find(const char* name) const {
    for (const auto& c : components_) {
        if (c && std::string(c->Name()) == name) return c.get();
    }
    return nullptr;
}

namespace {
RECT OuterRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}
}  // namespace

int Form::Left() const { return OuterRect(hwnd_).left; }
int Form::Top() const { return OuterRect(hwnd_).top; }
int Form::Width() const {
    RECT r = OuterRect(hwnd_);
    return r.right - r.left;
}
int Form::Height() const {
    RECT r = OuterRect(hwnd_);
    return r.bottom - r.top;
}
void Form::Resize(int width, int height) {
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
std::string Form::Caption() const {
    char buffer[256] = {};
    GetWindowTextA(hwnd_, buffer, sizeof(buffer));
    return buffer;
}

void Form::Raise(int source, EventKind kind, const EventArgs& args) const {
    if (!def_) return;
    for (size_t i = 0; i < def_->eventCount; ++i) {
        const EventBinding& binding = def_->events[i];
        if (binding.source != source || binding.kind != kind || !binding.handler) continue;
        // No exception may cross the system's frames that called us; memory
        // running short is told, and the window goes on with the next event.
        try {
            binding.handler(args);
        } catch (const std::bad_alloc&) {
            MessageBoxA(hwnd_, kOutOfMemoryText, def_->caption, MB_OK | MB_ICONERROR);
        }
    }
}

bool Form::TranslateShortcut(MSG& message) const {
    return shortcuts_ && hwnd_ && TranslateAcceleratorA(hwnd_, shortcuts_.get(), &message);
}

void Form::MapWindow(HWND window, Component* component) { byWindow_[window] = component; }

Component* Form::FromWindow(HWND window) const {
    auto it = byWindow_.find(window);
    return it == byWindow_.end() ? nullptr : it->second;
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: return MsgCommand(wParam, lParam);
    case WM_NOTIFY: return MsgNotify(lParam);
    case WM_HSCROLL:
    case WM_VSCROLL: return MsgScroll(wParam, lParam);
    case WM_DRAWITEM: return MsgDrawItem(lParam);
    case WM_SIZE: MsgSize(); break;
    case WM_CLOSE:
        if (closeGuard_ && !closeGuard_()) return 0;
        break;
    case WM_DESTROY: MsgDestroy(); return 0;
    default: break;
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT Form::MsgCommand(WPARAM wParam, LPARAM lParam) {
    int id = LOWORD(wParam);
    int code = HIWORD(wParam);
    if (lParam) {
        if (Component* c = FromWindow(reinterpret_cast<HWND>(lParam))) c->OnCommand(id, code);
        return 0;
    }
    // A menu item (code 0) or its shortcut (code 1).
    Raise(id, EventKind::CommandChosen, EventArgs());
    return 0;
}

LRESULT Form::MsgNotify(LPARAM lParam) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    LRESULT result = 0;
    if (Component* c = FromWindow(header->hwndFrom)) {
        if (c->OnNotify(header, &result)) return result;
        return DefWindowProcA(hwnd_, WM_NOTIFY, 0, lParam);
    }
    // Tooltip windows belong to their control, not to a row of the table.
    for (const auto& each : components_) {
        if (each && each->OnNotify(header, &result)) return result;
    }
    return DefWindowProcA(hwnd_, WM_NOTIFY, 0, lParam);
}

LRESULT Form::MsgScroll(WPARAM wParam, LPARAM lParam) {
    if (Component* c = FromWindow(reinterpret_cast<HWND>(lParam))) c->OnScroll(LOWORD(wParam));
    return 0;
}

LRESULT Form::MsgDrawItem(LPARAM lParam) {
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (Component* c = FromWindow(item->hwndItem)) return c->OnDrawItem(item) ? TRUE : FALSE;
    return FALSE;
}

void Form::MsgSize() {
    for (const auto& c : components_) {
        if (c && c->Kind() == ComponentKind::StatusBar && c->Handle()) SendMessageA(c->Handle(), WM_SIZE, 0, 0);
    }
    if (!created_ || IsIconic(hwnd_)) return;
    RECT r;
    GetWindowRect(hwnd_, &r);
    SIZE now{r.right - r.left, r.bottom - r.top};
    if (now.cx == lastSize_.cx && now.cy == lastSize_.cy) return;
    lastSize_ = now;
    Raise(kWindowSource, EventKind::SizeChanged, EventArgs());
}

void Form::MsgDestroy() {
    hwnd_ = nullptr;
    if (quitOnClose_) PostQuitMessage(0);
}

}  // namespace varnel
