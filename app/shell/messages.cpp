#include "app/shell/commands.h"
#include "platform/dialogs.h"

namespace varnel {

// Every message of the program is a self-closing exclamation box captioned
// "提示：", owned by the main window.
void ShowTimedMessage(const std::string& text, int milliseconds) {
    ShowTimedMessage(MainWindow().Handle(), text, "提示：", MB_ICONEXCLAMATION, milliseconds);
}

void ShowAboutBox() {
    MessageBoxA(MainWindow().Handle(), "Varnel 1.0\n批量图片水印与分割工具", "关于软件", MB_OK | MB_ICONINFORMATION);
}

}  // namespace varnel
