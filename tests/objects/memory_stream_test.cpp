#include <doctest.h>

#include <shlwapi.h>

#include "graphics/objects/memory_stream.h"
#include "platform/handles.h"
#include "tests/objects/objects_helpers.h"
#include "tests/support/win_test.h"

using namespace varnel;

namespace {
Bytes ReadAll(IStream* stream) {
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    Bytes bytes(64);
    ULONG read = 0;
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    bytes.resize(read);
    return bytes;
}
}  // namespace

TEST_CASE("a copied stream reads exactly the caller's bytes") {
    MemoryStream stream;
    Bytes bytes{1, 2, 3, 4, 5};
    IStream* s = stream.Open(bytes, true);
    REQUIRE(s != nullptr);
    CHECK(stream.GetStream() == s);
    CHECK(stream.GetMemory() != nullptr);
    CHECK(stream.GetBlockSize() >= 5);
    CHECK(ReadAll(s) == bytes);
    CHECK(stream.GetBytes() == bytes);

    // A count shorter than the array limits the copy; a longer one is cut
    // to the array.
    stream.Open(bytes, true, 3);
    CHECK(stream.GetBytes() == Bytes{1, 2, 3});
    stream.Open(bytes, true, 500);
    CHECK(stream.GetBytes() == bytes);

    // Changing the caller's array afterwards changes nothing.
    Bytes source{9, 8, 7};
    stream.Open(source, true);
    source[0] = 0;
    CHECK(stream.GetBytes() == Bytes{9, 8, 7});

    stream.Open(Bytes(), true);
    CHECK(stream.GetBytes().empty());
}

TEST_CASE("an empty stream grows with writes and gives back what was written") {
    MemoryStream stream;
    IStream* s = stream.Open(Bytes{1, 2, 3}, false);
    REQUIRE(s != nullptr);
    CHECK(stream.GetBytes().empty());
    const char text[] = "written";
    ULONG written = 0;
    REQUIRE(s->Write(text, 7, &written) == S_OK);
    CHECK(stream.GetBytes() == Bytes(text, text + 7));
    MemoryStreamView view(stream);
    stream.Close();
    CHECK(view.GetStream() == s);  // its own reference keeps the stream and block
    CHECK(GlobalSize(view.GetMemory()) >= 7);
    CHECK(stream.GetStream() == nullptr);
    CHECK(stream.GetMemory() == nullptr);
    CHECK(stream.GetBytes().empty());
    stream.Close();  // nothing open: nothing happens
}

TEST_CASE("opening again and closing free each block once, in both modes") {
    // Many rounds in both modes: a block freed twice or a stream released
    // twice would bring the heap down long before the end.
    MemoryStream stream;
    Bytes bytes(4096, 0x5A);
    for (int i = 0; i < 300; ++i) {
        IStream* s = stream.Open(bytes, (i & 1) == 0);
        REQUIRE(s != nullptr);
        ULONG written = 0;
        s->Write(bytes.data(), 100, &written);
    }
    stream.Close();
    for (int i = 0; i < 300; ++i) {
        MemoryStream scoped;
        scoped.Open(bytes, (i & 1) != 0);
    }
    CHECK(HeapValidate(GetProcessHeap(), 0, nullptr));

    // The block is the stream's alone: a reference held elsewhere (a picture
    // still decoding) keeps it whole after the object lets go, and the last
    // release frees it.
    for (bool copy : {true, false}) {
        IStream* held = stream.Open(bytes, copy);
        REQUIRE(held != nullptr);
        held->AddRef();
        stream.Close();
        ULONG written = 0;
        CHECK(held->Write("end", 3, &written) == S_OK);
        HGLOBAL block = nullptr;
        REQUIRE(GetHGlobalFromStream(held, &block) == S_OK);
        CHECK(GlobalSize(block) >= 3);
        CHECK(held->Release() == 0);
    }
}

TEST_CASE("attach adopts a memory stream and refuses any other") {
    IStream* onMemory = nullptr;
    REQUIRE(CreateStreamOnHGlobal(nullptr, TRUE, &onMemory) == S_OK);
    ULONG written = 0;
    onMemory->Write("abc", 3, &written);
    MemoryStream stream;
    REQUIRE(stream.Attach(onMemory));
    CHECK(stream.GetStream() == onMemory);
    CHECK(stream.GetBytes() == Bytes{'a', 'b', 'c'});
    stream.Close();  // releases the adopted reference

    test::TempFolder folder;
    std::string path = folder.File("plain.bin");
    REQUIRE(test::WriteWholeFile(path, Bytes{1, 2}));
    IStream* onFile = nullptr;
    REQUIRE(SHCreateStreamOnFileA(path.c_str(), STGM_READ, &onFile) == S_OK);
    CHECK_FALSE(stream.Attach(onFile));
    CHECK(stream.GetStream() == nullptr);
    onFile->Release();
    CHECK_FALSE(stream.Attach(nullptr));
}

