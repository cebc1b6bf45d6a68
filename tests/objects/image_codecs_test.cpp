#include <doctest.h>

#include "graphics/objects/image_codecs.h"

using namespace varnel;

TEST_CASE("GUID texts in registry form, both ways") {
    GUID png{0xB96B3CAF, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    std::string text = GuidToText(png);
    CHECK(text == "{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}");
    CHECK(text.size() == 38);
    CHECK(IsEqualGUID(TextToGuid(text), png));
    CHECK(IsEqualGUID(TextToGuid("{b96b3caf-0728-11d3-9d7b-0000f81ef32e}"), png));
    CHECK(IsEqualGUID(TextToGuid("not a guid"), GUID{}));
    CHECK(IsEqualGUID(TextToGuid(""), GUID{}));
}

TEST_CASE("the installed encoders and their identifiers") {
    std::vector<EncoderDescription> encoders;
    uint32_t count = GetEncoders(encoders);
    REQUIRE(count >= 5);
    CHECK(encoders.size() == count);
    bool png = false;
    for (const EncoderDescription& e : encoders) {
        CHECK(e.clsid.size() == 38);
        CHECK(e.formatId.size() == 38);
        CHECK_FALSE(e.mimeType.empty());
        CHECK(e.signaturePattern.size() == e.signatureCount * e.signatureSize);
        CHECK(e.signatureMask.size() == e.signaturePattern.size());
        if (e.mimeType == "image/png") {
            png = true;
            CHECK(e.clsid == "{557CF406-1A04-11D3-9A73-0000F81EF32E}");
            CHECK(e.formatId == "{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}");
            CHECK(Bytes(e.signaturePattern.begin(), e.signaturePattern.begin() + 4) == Bytes{0x89, 'P', 'N', 'G'});
        }
        if (e.mimeType == "image/gif") {
            // Both signatures, GIF87a and GIF89a.
            CHECK(e.signatureCount == 2);
        }
    }
    CHECK(png);
    CHECK(EncoderClsidText("{B96B3CAE-0728-11D3-9D7B-0000F81EF32E}") == "{557CF401-1A04-11D3-9A73-0000F81EF32E}");
    // The match is on the format identifier, exactly.
    CHECK(EncoderClsidText("{b96b3cae-0728-11d3-9d7b-0000f81ef32e}").empty());
    CHECK(EncoderClsidText("image/jpeg").empty());
    CHECK(EncoderClsidText("{00000000-0000-0000-0000-000000000000}").empty());
    CHECK(EncoderClsidText("").empty());
}
