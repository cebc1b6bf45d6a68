#include <doctest.h>

#include <algorithm>
#include <new>
#include <vector>

#include "platform/window_base.h"
#include "platform/window_class.h"

using namespace varnel;

namespace {
const char kRecorderClass[] = "VarnelWindowBaseTest";

class Recorder : public WindowBase {
public:
    bool Make() {
        RegisterWindowClass(kRecorderClass, &WindowBase::Procedure, 0, 0);
        return CreateBound(0, kRecorderClass, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr) != nullptr;
    }
    bool Saw(UINT message) const { return std::find(seen_.begin(), seen_.end(), message) != seen_.end(); }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        seen_.push_back(message);
        return WindowBase::HandleMessage(message, wParam, lParam);
    }

private:
    std::vector<UINT> seen_;
};

// Memory for one object, from the top of the address space: above 4 GB in a
// 64-bit process, where a pointer cut to 32 bits no longer finds it.
class HighMemory {
public:
    HighMemory() : block_(VirtualAlloc(nullptr, 65536, MEM_RESERVE | MEM_COMMIT | MEM_TOP_DOWN, PAGE_READWRITE)) {}
    HighMemory(const HighMemory&) = delete;
    HighMemory& operator=(const HighMemory&) = delete;
    ~HighMemory() { VirtualFree(block_, 0, MEM_RELEASE); }
    void* Get() const { return block_; }

private:
    void* block_;
};
}  // namespace

TEST_CASE("an own window's messages reach its object from the first to the last") {
    HighMemory memory;
    REQUIRE(memory.Get());
    if (sizeof(void*) == 8) CHECK(reinterpret_cast<ULONG_PTR>(memory.Get()) > 0xFFFFFFFFu);
    Recorder* window = new (memory.Get()) Recorder;
    REQUIRE(window->Make());
    CHECK(window->Saw(WM_NCCREATE));
    CHECK(window->Saw(WM_CREATE));
    SendMessageA(window->Handle(), WM_APP, 0, 0);
    CHECK(window->Saw(WM_APP));
    DestroyWindow(window->Handle());
    CHECK(window->Saw(WM_NCDESTROY));
    window->~Recorder();
}
