#pragma once
// What each bad-input case did, collected while the cases run and written out
// as a table at the end, so the table always tells what the last run saw.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/shell/commands.h"
#include "platform/bmp_format.h"
#include "platform/bmp_image.h"
#include "platform/file_services.h"
#include "platform/picture_codec.h"
#include "tests/shell/shell_fixture.h"

namespace varnel::robust {

struct Row {
    std::string group, input, outcome, expected;
    bool ok;
};

inline std::vector<Row>& Rows() {
    static std::vector<Row> rows;
    return rows;
}

inline void Record(const std::string& group, const std::string& input, const std::string& outcome,
                   const std::string& expected, bool ok) {
    Rows().push_back(Row{group, input, outcome, expected, ok});
}

inline std::string PictureState(const Bytes& bmp) {
    BmpHeader header;
    if (!IsWholeBmp24(bmp, &header)) return "no picture";
    return "a " + std::to_string(header.width) + " x " + std::to_string(header.height) + " picture";
}

inline std::string PanelState() { return PictureState(Ui<DrawPanel>(ui::画板1).Picture()); }

// How a file is now compared with what it held before.
inline std::string FileState(const std::string& path, const Bytes& before) {
    if (!FindFirstFileExists(path)) return "file gone";
    Bytes now = ReadWholeFile(path);
    if (now == before) return "file unchanged";
    BmpHeader header;
    static const char* const kNames[] = {"unknown", "JPEG", "PNG", "BMP", "GIF", "TIFF"};
    if (IsWholeBmp24(DecodePictureToBmp24(now), &header)) {
        return "file replaced by a whole " + std::to_string(header.width) + " x " + std::to_string(header.height) +
               " " + kNames[static_cast<int>(FormatOfBytes(now))];
    }
    return "file changed to " + std::to_string(now.size()) + " other bytes";
}

// Answers every dialog while it lives: an input box with `input`, a
// question with yes; the last message is read (its lines joined) and closed.
class Answers {
public:
    explicit Answers(std::string input = "HH") : input_(std::move(input)) { Arm(); }
    const std::string& Message() const { return message_; }

private:
    void Arm() {
        // Each answerer answers once; the one answering stays alive meanwhile.
        answerers_.push_back(std::make_unique<test::DialogAnswerer>([this](HWND box) {
            if (GetDlgItem(box, 100)) {
                SetDlgItemTextA(box, 100, input_.c_str());
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            } else if (GetDlgItem(box, IDYES)) {
                PostMessageA(box, WM_COMMAND, IDYES, 0);
            } else {
                char text[4096] = {};
                GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
                message_ = text;
                std::replace(message_.begin(), message_.end(), '\n', ' ');
                PostMessageA(box, WM_CLOSE, 0, 0);
            }
            Arm();
        }));
    }

    std::string input_;
    std::string message_;
    std::vector<std::unique_ptr<test::DialogAnswerer>> answerers_;
};

// The last message `action` shows, its dialogs answered on the way.
template <class Action>
std::string MessageOf(Action action, const char* input = "HH") {
    Answers answers(input);
    action();
    return answers.Message();
}

inline void ListFolder(const std::string& path) {
    std::string folder = path;
    ListFolderFiles(folder);
    App().currentFolder = path;
}

// Selects the list entry of that name and loads it as a click does; -1 when
// the list has no such entry.
inline int LoadByName(const std::string& name) {
    ListBox& list = Ui<ListBox>(ui::列表框1);
    for (int i = 0; i < list.Count(); ++i) {
        if (list.ItemText(i) == name) {
            list.SetSelectedIndex(i);
            LoadListItem();
            return i;
        }
    }
    return -1;
}

inline void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<unsigned char>(v >> (8 * i));
}

// A BMP file of 1, 8, 24 or 32 bits per pixel: black on white, the left half
// of each row dark (palette entry 0, or black), the right half white.
inline Bytes CraftBmp(int width, int height, int bitsPerPixel) {
    const int colors = bitsPerPixel <= 8 ? 1 << bitsPerPixel : 0;
    const size_t stride = ((static_cast<size_t>(width) * bitsPerPixel + 31) / 32) * 4;
    const size_t offBits = 54 + static_cast<size_t>(colors) * 4;
    Bytes b(offBits + stride * static_cast<size_t>(height), 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, static_cast<uint32_t>(offBits));
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<uint32_t>(width));
    Put32(b, 22, static_cast<uint32_t>(height));
    b[26] = 1;
    b[28] = static_cast<unsigned char>(bitsPerPixel);
    Put32(b, 46, static_cast<uint32_t>(colors));
    for (int c = 1; c < colors; ++c) {  // entry 0 black, the others white
        std::memset(&b[54 + static_cast<size_t>(c) * 4], 0xFF, 3);
    }
    for (int y = 0; y < height; ++y) {
        unsigned char* row = &b[offBits + stride * static_cast<size_t>(y)];
        for (int x = width / 2; x < width; ++x) {
            if (bitsPerPixel == 1) row[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
            if (bitsPerPixel == 8) row[x] = 1;
            if (bitsPerPixel == 24) std::memset(row + x * 3, 0xFF, 3);
            if (bitsPerPixel == 32) std::memset(row + x * 4, 0xFF, 4);
        }
    }
    return b;
}

}  // namespace varnel::robust
