// A long batch must leave the program's GDI and USER objects, handles and
// private memory where they were: a per-picture leak grows with the count.
#include <doctest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "app/shell/component_ids.h"
#include "tests/e2e/e2e_driver.h"

using namespace e2e;

namespace {

void RunMenuTextBatch(Program& app, int count) {
    app.ChooseMenu(ui::kMenuBatchText);
    REQUIRE(app.AnswerInputDialog("Leak"));
    HWND done = app.WaitForDialog("提示：", count * 2.0 + 120);
    REQUIRE(done);
    REQUIRE(app.WaitUntilGone(done, 20));
    Sleep(1000);
}

void Print(const char* when, const Figures& f) {
    std::printf("%-7s GetGuiResources: GDI %lu, USER %lu; GetProcessHandleCount %lu; "
                "GetProcessMemoryInfo private %lu KiB; GDI table %ld; host kernel: anonymous %ld KiB, resident %ld KiB\n",
                when, static_cast<unsigned long>(f.gdiObjects), static_cast<unsigned long>(f.userObjects),
                static_cast<unsigned long>(f.handles), static_cast<unsigned long>(f.privateBytes / 1024), f.gdiTable,
                f.unixAnonymousKiB, f.unixResidentKiB);
    std::fflush(stdout);
}

long Grew(unsigned long after, unsigned long before) { return static_cast<long>(after) - static_cast<long>(before); }

}  // namespace

// The menu's text watermark run: it reads, draws, snapshots and writes each
// picture, with half a second's pause, so a long run stays within minutes.
TEST_CASE("leak: a long batch keeps the program's resources flat") {
    _putenv("VARNEL_E2E_CASE=leak");
    const char* setting = std::getenv("VARNEL_E2E_LEAK_FILES");
    const int count = setting ? std::atoi(setting) : 40;
    REQUIRE(count > 0);
    const int kWarmUp = 10;
    Folder warmUp("varnel-e2e-leak-warm"), pictures("varnel-e2e-leak");
    REQUIRE(static_cast<int>(WritePictures(warmUp.Path(), kWarmUp, 120, 90, 0xC8C8C8).size()) == kWarmUp);
    REQUIRE(static_cast<int>(WritePictures(pictures.Path(), count, 120, 90, 0xC8C8C8).size()) == count);
    Program app;
    REQUIRE(app.Started());
    REQUIRE(app.OpenFolder(warmUp.Path()));
    REQUIRE(WaitFor([&] { return app.ListCount() == kWarmUp; }, 60));
    app.SelectListEntry(0);
    HWND font = app.Child("ComboBox", 0);
    HWND fontEdit = FindWindowExA(font, nullptr, "Edit", nullptr);
    app.Key(fontEdit ? fontEdit : font, VK_DOWN);
    REQUIRE(!app.Text(font).empty());
    app.Click(app.PreviewPanel(), 10, 10);

    // A first, short run fills the caches that stay for the program's life.
    RunMenuTextBatch(app, kWarmUp);
    REQUIRE(app.OpenFolder(pictures.Path()));
    REQUIRE(WaitFor([&] { return app.ListCount() == count; }, 60));
    Figures before = app.Measure();
    Print("before", before);
    RunMenuTextBatch(app, count);
    Figures after = app.Measure();
    Print("after", after);
    app.Screenshot("after-run");
    std::printf("over %d pictures: GDI %+ld, USER %+ld, handles %+ld, private %+ld KiB, GDI table %+ld, "
                "anonymous %+ld KiB, resident %+ld KiB\n",
                count, Grew(after.gdiObjects, before.gdiObjects), Grew(after.userObjects, before.userObjects),
                Grew(after.handles, before.handles), Grew(after.privateBytes / 1024, before.privateBytes / 1024), after.gdiTable - before.gdiTable,
                after.unixAnonymousKiB - before.unixAnonymousKiB, after.unixResidentKiB - before.unixResidentKiB);
    std::fflush(stdout);

    // Anything that grows by one per picture exceeds this; a few objects of
    // lazily made state do not. Wine reports zero where it keeps no count.
    const long slack = 10 + count / 4;
    CHECK(Grew(after.gdiObjects, before.gdiObjects) < slack);
    CHECK(Grew(after.userObjects, before.userObjects) < slack);
    CHECK(Grew(after.handles, before.handles) < slack);
    CHECK(after.gdiTable - before.gdiTable < slack);
    CHECK(Grew(after.privateBytes / 1024, before.privateBytes / 1024) < 4096 + count * 8L);
    // A picture's pixels here are 120 x 90 x 4 bytes, 42 KiB; keeping even a
    // fifth of each would show.
    REQUIRE(before.unixAnonymousKiB > 0);
    CHECK(after.unixAnonymousKiB - before.unixAnonymousKiB < 6144 + count * 8L);
    CHECK(app.Responsive());
}
