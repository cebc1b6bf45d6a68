#pragma once
// A component of a form: one platform window (or none, for the non-visual
// kinds) created from a row of the form's definition.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "platform/events.h"
#include "platform/window_base.h"

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
    ProgressBar,
};

enum ComponentFlag : unsigned {
    kHidden = 1,
    kEditable = 2,    // combo box: editable drop-down rather than a list
    kVertical = 4,    // splitter bar
    kHorizontal = 8,  // splitter bar
};

struct SliderArgs {
    int minimum = 0, maximum = 0, position = 0;
    int lineStep = 0, pageStep = 0;  // arrow keys, page keys
};

constexpr int kMaxPartWidths = 4;

// What a kind needs beyond its place and text; each kind reads only its own
// fields, and the helpers below fill one kind's fields by name.
struct ComponentArgs {
    SliderArgs slider;
    int selection = 0;                     // list-style combo box: the item selected at start
    COLORREF color = 0;                    // colour picker: the colour at start
    int partWidths[kMaxPartWidths] = {};  // status bar: every part but the last, which takes the rest; 0 ends
};

constexpr ComponentArgs kNoArgs{};
constexpr ComponentArgs SliderRange(int minimum, int maximum, int position, int lineStep, int pageStep) {
    ComponentArgs args{};
    args.slider = SliderArgs{minimum, maximum, position, lineStep, pageStep};
    return args;
}
constexpr ComponentArgs Selected(int index) {
    ComponentArgs args{};
    args.selection = index;
    return args;
}
constexpr ComponentArgs StartColor(COLORREF color) {
    ComponentArgs args{};
    args.color = color;
    return args;
}
constexpr ComponentArgs PartWidths(int first, int second = 0, int third = 0, int fourth = 0) {
    ComponentArgs args{};
    args.partWidths[0] = first;
    args.partWidths[1] = second;
    args.partWidths[2] = third;
    args.partWidths[3] = fourth;
    return args;
}

struct ComponentDef {
    int id;
    const char* name;
    ComponentKind kind;
    int parent;  // a component id, or kWindowSource
    int left, top, width, height;
    const char* text;  // caption or initial text; items or parts separated by '\n'
    ComponentArgs args;
    unsigned flags;
};

class Form;

class Component : public WindowBase {
public:
    Component(Form& form, const ComponentDef& def) : form_(form), def_(def) {}
    ~Component() override;

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
    // The same for a window of the program's own class, registered with
    // WindowBase::Procedure: its messages reach HandleMessage from the first.
    HWND CreateBoundChild(HWND parent, DWORD exStyle, const char* className, DWORD style);

    Form& form_;
    const ComponentDef& def_;

private:
    HWND CreateChildWindow(HWND parent, DWORD exStyle, const char* className, const char* text, DWORD style,
                           int height, bool bound);
};

}  // namespace varnel
