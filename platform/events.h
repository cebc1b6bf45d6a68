#pragma once
// Component events and the table rows that bind them to handlers.
#include <string>

namespace varnel {

enum class EventKind {
    Created,           // the window, once, before the first user input
    SizeChanged,       // the window's outer size changed
    CommandChosen,     // a menu item, its shortcut or a toolbar button: the source is the command id
    SelectionChanged,  // list box, combo box
    FileDropped,       // drop target (path)
    LeftButtonDown,    // draw panel (x, y, keys)
    DoubleClicked,     // draw panel, picture box, splitter bar
    ColorChanged,      // colour picker
    Clicked,           // check box
    PositionChanged,   // slider
    Dragged,           // splitter bar (old position, new position)
};

struct EventArgs {
    int x = 0;
    int y = 0;
    int keys = 0;  // 1 Ctrl, 2 Shift, 4 Alt, added
    int oldPosition = 0;
    int newPosition = 0;
    std::string path;
};

using EventHandler = void (*)(const EventArgs& args);

// The window itself as an event source.
constexpr int kWindowSource = -1;

struct EventBinding {
    int source;  // a component id, a command id or kWindowSource
    EventKind kind;
    EventHandler handler;
};

}  // namespace varnel
