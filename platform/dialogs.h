#pragma once
// The modal dialogs of the control library.
#include <windows.h>

#include <string>

namespace varnel {

// A modal one-line text input: the prompt above an edit field that starts with
// `text` selected, OK and Cancel. On OK `text` receives the edited text and the
// result is true; on Cancel `text` is left as it was.
bool InputBox(HWND owner, const std::string& prompt, const std::string& caption, std::string& text);

// The shell's folder browser; the chosen folder's path, or empty when cancelled.
std::string BrowseForFolder(HWND owner, const std::string& prompt);

// A message box owned by `owner` that closes by itself after `milliseconds`.
void ShowTimedMessage(HWND owner, const std::string& text, const std::string& caption, UINT style,
                      int milliseconds);

// Control ids inside the input box, for whoever answers it.
constexpr int kInputBoxEditId = 100;
constexpr int kInputBoxPromptId = 101;

}  // namespace varnel
