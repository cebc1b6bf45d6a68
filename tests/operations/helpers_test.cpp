#include <doctest.h>

#include "app/operations/helpers.h"
#include "app/shell/commands.h"
#include "platform/file_services.h"
#include "platform/system_services.h"
#include "tests/shell/shell_fixture.h"

using namespace varnel;

TEST_CASE("file titles and extensions") {
    CHECK(FileTitle("C:\\a\\b.c.jpg", false) == "b.c");
    CHECK(FileTitle("C:\\a\\b.c.jpg", true) == "b.c.jpg");
    CHECK(FileTitle("C:\\a\\", false).empty());
    CHECK(FileTitle("readme", false) == "readme");
    CHECK(FileExtension("C:\\a\\b.c.jpg") == ".jpg");
    CHECK(FileExtension("C:\\a.b\\c").empty());
    // "表" ends in the byte of "\" in some code pages; in GBK "\x95\x5C" does.
    std::string trail = "C:\\pics\\\x95\x5C";
    CHECK(FileTitle(trail + ".jpg", false) == "\x95\x5C");
    CHECK_FALSE(EndsWithSeparator(trail));
    CHECK(EndsWithSeparator(trail + "\\"));
    CHECK(FolderOfPath(trail + "\\a.jpg") == trail + "\\");
    CHECK(FolderOfPath("C:\\pics\\a.jpg") == "C:\\pics\\");
    CHECK(FolderOfPath("a.jpg").empty());
}

TEST_CASE("the timed message box closes by itself") {
    test::StartedMainWindow();
    DWORD start = GetTickCount();
    ShowTimedMessage("批量分割完成!", 600);
    DWORD took = GetTickCount() - start;
    CHECK(took >= 500);
    CHECK(took < 5000);
}

TEST_CASE("the delay keeps handling window messages") {
    test::StartedMainWindow();
    static int handled = 0;
    handled = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) { ++handled; });
    DWORD start = GetTickCount();
    Delay(0.5, 1);
    DWORD took = GetTickCount() - start;
    KillTimer(nullptr, timer);
    CHECK(took >= 450);
    CHECK(handled >= 3);
}

TEST_CASE("opening a folder that does not exist fails quietly") {
    CHECK_FALSE(OpenFolderAndSelect("C:\\no\\such\\folder", false));
    CHECK_FALSE(FileExists("C:\\no\\such\\folder"));
}
