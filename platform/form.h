#pragma once
// A top-level window loaded from its definition: components, toolbar buttons,
// menu and the table of event bindings.
#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/component.h"
#include "platform/events.h"
#include "platform/handles.h"
#include "platform/window_base.h"

namespace varnel {

struct ToolbarButtonDef {
    int command;          // raised as the CommandChosen source, like a menu item of the same id
    const char* caption;
    const char* tooltip;  // null: no tooltip
    int image;            // index into the toolbar's image strip
};

struct MenuItemDef {
    const char* menu;      // top-level entry the item belongs to
    const char* item;      // caption
    const char* shortcut;  // shown after a tab, or null
    BYTE modifiers;        // FCONTROL, FSHIFT, FALT for the shortcut
    WORD key;              // virtual key of the shortcut, 0 for none
    int command;           // raised as the CommandChosen source
};

struct FormDef {
    const char* caption;
    int left, top, width, height;
    int iconResource;
    const ComponentDef* components;
    size_t componentCount;
    const ToolbarButtonDef* buttons;
    size_t buttonCount;
    int toolbarImagesResource;
    const MenuItemDef* menu;
    size_t menuCount;
    const EventBinding* events;
    size_t eventCount;
};

// Shown when an event's handler ran out of memory: what it was doing is
// left undone, and the program goes on.
constexpr char kOutOfMemoryText[] = "内存不足，操作未完成。";

class Form : public WindowBase {
public:
    Form();
    ~Form() override;

    // The form a window belongs to (the form itself or one of its
    // descendants), for the message pump's shortcuts; null for any other.
    static Form* OfWindow(HWND window);

    // Creates the window and every component, raises Created, then shows it.
    bool Load(const FormDef& def, int showCommand = SW_SHOWNORMAL);
    // Closes the window; the event loop then ends.
    void Close();

    const FormDef& Def() const { return *def_; }
    HFONT UiFont() const;

    Component& At(int id) const { return *components_.at(static_cast<size_t>(id)); }
    template <typename T>
    T& Get(int id) const {
        return static_cast<T&>(At(id));
    }
    Component* Find(const char* name) const;

    // Outer size and place of the window.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void Resize(int width, int height);
    std::string Caption() const;

    void Raise(int source, EventKind kind, const EventArgs& args) const;
    bool TranslateShortcut(MSG& message) const;

    void MapWindow(HWND window, Component* component);
    // Whether closing the window ends the event loop (tests keep it running).
    void SetQuitOnClose(bool quit) { quitOnClose_ = quit; }
    // Asked before the window closes; false keeps it open (the guard then
    // closes it itself when it can).
    using CloseGuard = bool (*)();
    void SetCloseGuard(CloseGuard guard) { closeGuard_ = guard; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool CreateComponents();
    bool CreateMenuBar();
    LRESULT MsgCommand(WPARAM wParam, LPARAM lParam);
    LRESULT MsgNotify(LPARAM lParam);
    LRESULT MsgScroll(WPARAM wParam, LPARAM lParam);
    LRESULT MsgDrawItem(LPARAM lParam);
    void MsgSize();
    void MsgDestroy();
    Component* FromWindow(HWND window) const;

    const FormDef* def_ = nullptr;
    std::vector<std::unique_ptr<Component>> components_;
    std::map<HWND, Component*> byWindow_;
    AcceleratorHandle shortcuts_;
    IconHandle bigIcon_;
    IconHandle smallIcon_;
    bool created_ = false;
    bool quitOnClose_ = true;
    CloseGuard closeGuard_ = nullptr;
    SIZE lastSize_{};
};

}  // namespace varnel
