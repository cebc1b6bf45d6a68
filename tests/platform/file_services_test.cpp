#include <doctest.h>

#include "platform/file_services.h"
#include "platform/path_text.h"
#include "tests/support/win_test.h"

using namespace varnel;

TEST_CASE("whole files round-trip and replace only when complete") {
    test::TempFolder folder;
    std::string path = folder.File("a.bin");
    Bytes content{1, 2, 3, 0, 255};
    CHECK(WriteWholeFile(path, content));
    CHECK(ReadWholeFile(path) == content);

    Bytes longer(100000, 7);
    CHECK(WriteWholeFile(path, longer));
    CHECK(ReadWholeFile(path) == longer);
    CHECK_FALSE(FindFirstFileExists(path + ".varnel-new"));

    SUBCASE("a read-only file is left as it was") {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        CHECK_FALSE(WriteWholeFile(path, content));
        CHECK(ReadWholeFile(path) == longer);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    SUBCASE("a missing folder fails without creating anything") {
        CHECK_FALSE(WriteWholeFile(folder.File("no\\such.bin"), content));
    }
    SUBCASE("a missing file reads as empty") { CHECK(ReadWholeFile(folder.File("missing")).empty()); }
}

TEST_CASE("existence and folders") {
    test::TempFolder folder;
    CHECK(FindFirstFileExists(folder.Path()));
    CHECK_FALSE(FindFirstFileExists(folder.File("nothing")));
    CHECK(CreateOneFolder(folder.File("sub")));
    CHECK(FolderExists(folder.File("sub")));
    CHECK_FALSE(CreateOneFolder(folder.File("sub")));
    CHECK_FALSE(ProgramFolder().empty());
    CHECK(ProgramFolder().back() != '\\');
}

TEST_CASE("wide paths are normalised, and past the classic limit in the form taken as it stands") {
    const std::wstring name(250, L'n');
    CHECK(WideFilePath("C:/a/./b/../c") == L"C:\\a\\c");
    CHECK(WideFilePath("C:/a/./b/../" + std::string(250, 'n')) == L"\\\\?\\C:\\a\\" + name);
    CHECK(LongPathForm(L"\\\\server\\share\\" + name) == L"\\\\?\\UNC\\server\\share\\" + name);
}
