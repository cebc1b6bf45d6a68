#include <doctest.h>

#include "tests/robustness/robustness_table.h"
#include "tests/support/win_test.h"

using namespace varnel;
using namespace varnel::robust;

namespace {

// The program's texts are in the ANSI code page; the document is UTF-8.
std::string Utf8(const std::string& ansi) {
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], n);
    int m = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(m), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, &utf8[0], m, nullptr, nullptr);
    return utf8;
}

std::string Cell(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '|' ? std::string("\\|") : std::string(1, c);
    return Utf8(out);
}

}  // namespace

// Last of the program's cases: writes what every earlier case recorded.
TEST_CASE("the table of bad-input cases is written") {
    const std::vector<Row>& rows = Rows();
    REQUIRE_FALSE(rows.empty());
    int failed = 0;
    for (const Row& r : rows) failed += r.ok ? 0 : 1;
    std::string doc =
        "# Robustness: bad input, faults and awkward files\n\n"
        "Written by the test program `test_robustness` (tests/robustness) each time it runs: every row is a case\n"
        "it tried against the real main window and real files, what the program did, and what it should do.\n"
        "The program kept running through every case listed.\n\n"
        "Cases: " + std::to_string(rows.size()) + "; as expected: " + std::to_string(rows.size() - failed) +
        "; not as expected: " + std::to_string(failed) + ".\n\n"
        "| Group | Input | What the program did | Expected | Verdict |\n"
        "| --- | --- | --- | --- | --- |\n";
    for (const Row& r : rows) {
        doc += "| " + Cell(r.group) + " | " + Cell(r.input) + " | " + Cell(r.outcome) + " | " + Cell(r.expected) +
               " | " + (r.ok ? "as expected" : "**NOT as expected**") + " |\n";
    }
    doc +=
        "\nNotes\n\n"
        "- A file \"held open by another process\" is held by a second run of the test program itself, started\n"
        "  with a hold argument: it opens the file (with no sharing, or sharing reading only) and keeps it open\n"
        "  until the batch is over.\n"
        "- The \"Corpus\" rows are the files of tests/robustness/corpus (listed, with what each is, in its\n"
        "  README.md): each is previewed, cut in halves, cut by a grid of guide lines, saved as a snapshot,\n"
        "  then run through the halves run, the text run and the picture run, a dozen files to a folder so\n"
        "  that each run's report must name every file it skipped. Files a decoder would read past their\n"
        "  end at (a BMP's pixels, a TIFF's directory or strips) are refused before any decoder sees them.\n"
        "- A \"full\" Photo folder is one where every name a snapshot can take (0001.jpg to 1000.jpg) exists.\n"
        "- A file is only ever replaced by a complete new one written beside it and swapped in; where the swap\n"
        "  cannot happen (locked, read-only, a name too long for the swap file) the old file stays as it was.\n";
    CHECK(WriteWholeFile(test::SourceFolder() + "\\docs\\robustness.md", Bytes(doc.begin(), doc.end())));
    CHECK(failed == 0);
}
