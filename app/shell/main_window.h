#pragma once
#include "platform/form.h"

namespace varnel {

// The program's only window, loaded from its definition.
const FormDef& MainWindowDefinition();
Form& MainWindow();

// Component access by the window's own names.
template <typename T>
T& Ui(int id) {
    return MainWindow().Get<T>(id);
}

// Handlers of the window's own events.
void OnMainWindowCreated(const EventArgs& args);
void OnMainWindowSizeChanged(const EventArgs& args);

// Creates the output folder beside the program when nothing is there yet.
void EnsurePhotoFolder();

// Font face names of the screen, in enumeration order.
std::vector<std::string> CollectFontNames();

}  // namespace varnel
