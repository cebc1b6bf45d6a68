#include "platform/dialogs.h"

#include <vector>

namespace varnel {

namespace {

struct InputState {
    const std::string* prompt;
    std::string* text;
};

// In-memory dialog templates are WORD-aligned records with UTF-16 strings.
class TemplateWriter {
public:
    void Word(WORD w) { words_.push_back(w); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(const char* narrow) {
        int n = MultiByteToWideChar(CP_ACP, 0, narrow, -1, nullptr, 0);
        std::vector<wchar_t> wide(static_cast<size_t>(n > 0 ? n : 1), L'\0');
        if (n > 0) MultiByteToWideChar(CP_ACP, 0, narrow, -1, wide.data(), n);
        for (wchar_t c : wide) Word(static_cast<WORD>(c));
    }
    void AlignDword() {
        if (words_.size() % 2) Word(0);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom, const char* text) {
        AlignDword();
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Word(static_cast<WORD>(x));
        Word(static_cast<WORD>(y));
        Word(static_cast<WORD>(cx));
        Word(static_cast<WORD>(cy));
        Word(id);
        Word(0xFFFF);
        Word(classAtom);
        Text(text);
        Word(0);
    }
    const DLGTEMPLATE* Data() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    std::vector<WORD> words_;
};

constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;

INT_PTR CALLBACK InputProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        auto* state = reinterpret_cast<InputState*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        SetDlgItemTextA(dialog, kInputBoxPromptId, state->prompt->c_str());
        HWND edit = GetDlgItem(dialog, kInputBoxEditId);
        SetWindowTextA(edit, state->text->c_str());
        // Typing replaces the initial text.
        SendMessageA(edit, EM_SETSEL, 0, -1);
        SetFocus(edit);
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            auto* state = reinterpret_cast<InputState*>(GetWindowLongPtrA(dialog, DWLP_USER));
            HWND edit = GetDlgItem(dialog, kInputBoxEditId);
            int length = GetWindowTextLengthA(edit);
            std::string value(static_cast<size_t>(length) + 1, '\0');
            int got = GetWindowTextA(edit, &value[0], length + 1);
            value.resize(static_cast<size_t>(got > 0 ? got : 0));
            *state->text = value;
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    default: break;
    }
    return FALSE;
}

}  // namespace

bool InputBox(HWND owner, const std::string& prompt, const std::string& caption, std::string& text) {
    TemplateWriter t;
    t.Dword(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    t.Dword(0);
    t.Word(4);  // controls
    t.Word(0);
    t.Word(0);
    t.Word(240);
    t.Word(74);
    t.Word(0);  // no menu
    t.Word(0);  // standard class
    t.Text(caption.c_str());
    t.Word(9);
    t.Text("MS Shell Dlg");
    t.Item(SS_LEFT | SS_NOPREFIX, 8, 8, 224, 12, kInputBoxPromptId, kStaticAtom, "");
    t.Item(WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 8, 24, 224, 14, kInputBoxEditId, kEditAtom, "");
    t.Item(WS_TABSTOP | BS_DEFPUSHBUTTON, 126, 50, 50, 16, IDOK, kButtonAtom, "确定");
    t.Item(WS_TABSTOP | BS_PUSHBUTTON, 182, 50, 50, 16, IDCANCEL, kButtonAtom, "取消");
    std::string edited = text;
    InputState state{&prompt, &edited};
    INT_PTR result = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.Data(), owner, InputProc,
                                             reinterpret_cast<LPARAM>(&state));
    if (result != IDOK) return false;
    text = edited;
    return true;
}

}  // namespace varnel
