#pragma once
// A component of a form: one platform window (or none, for the non-visual
// kinds) created from a row of the form's definition.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "platform/events.h"

namespace varnel {

enum class ComponentKind {
    Toolbar,
    GroupBox,
    Label,
    ComboBox,
    ColorPicker,
    CheckBox,
    EditBox,
    Slider,
    TabControl,
    ListBox,
    DrawPanel,
    FileDialog,
    PictureBox,
    StatusBar,
    DropTarget,
    SplitterBar,
};

enum ComponentFlag : unsigned {
    kHidden = 1,
    kEditable = 2,    // combo box: editable drop-down rather than a list
    kVertical = 4,    // splitter bar
    kHorizontal = 8,  // splitter bar
};

constexpr int kValueCount = 5;

struct ComponentDef {
    int id;
    const char* name;
    ComponentKind kind;
    int parent;  // a component id, or kWindowSource
    int left, top, width, height;
    const char* text;         // caption or initial text; items or parts separated by '\n'
    int values[kValueCount];  // kind-specific numbers (ranges, selections, widths, colours)
    unsigned flags;
};

class Form;

class Component {
public:
    Component(Form& form, const ComponentDef& def) : form_(form), def_(def) {}
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;
    virtual ~Component();

    // Makes the platform window inside the parent; false when it failed.
    virtual bool Create(HWND parent) = 0;
    // The window that children of this component are created in.
    virtual HWND ContainerHandle() const { return hwnd_; }

    // Notifications the form routes to the component that raised them.
    virtual void OnCommand(int /*id*/, int /*code*/) {}
    virtual bool OnNotify(NMHDR* /*header*/, LRESULT* /*result*/) { return false; }
    virtual void OnScroll(int /*code*/) {}
    virtual bool OnDrawItem(DRAWITEMSTRUCT* /*item*/) { return false; }

    int Id() const { return def_.id; }
    const char* Name() const { return def_.name; }
    ComponentKind Kind() const { return def_.kind; }
    const ComponentDef& Def() const { return def_; }
    HWND Handle() const { return hwnd_; }

    // Place in the parent's client area.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int value) { Move(value, Top(), Width(), Height()); }
    void SetTop(int value) { Move(Left(), value, Width(), Height()); }
    void SetWidth(int value) { Move(Left(), Top(), value, Height()); }
    void SetHeight(int value) { Move(Left(), Top(), Width(), value); }
    virtual void Move(int left, int top, int width, int height);

    bool Visible() const;
    void SetVisible(bool visible);

    virtual std::string Text() const;
    virtual void SetText(const std::string& text);

protected:
    void Raise(EventKind kind, const EventArgs& args = EventArgs()) const;
    // Creates the component's window with the definition's place and font.
    HWND CreateChild(HWND parent, DWORD exStyle, const char* className, const char* text, DWORD style,
                     int heightOverride = -1);

    Form& form_;
    const ComponentDef& def_;
    HWND hwnd_ = nullptr;
};

}  // namespace varnel
