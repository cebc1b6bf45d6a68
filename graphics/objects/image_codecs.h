#pragma once
// GUID texts and the imaging service's encoders. Image formats, encoders,
// parameter categories and frame dimensions travel as registry-form GUID
// texts: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper-case.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/bytes.h"
#include "platform/gdiplus_flat.h"

namespace varnel {

std::string GuidToText(const GUID& guid);
// An unparsable text gives the zero GUID.
GUID TextToGuid(const std::string& text);

// One encoder of the imaging service, the fields of its codec record in order.
struct EncoderDescription {
    std::string clsid;
    std::string formatId;
    std::string codecName;
    std::string dllName;
    std::string formatDescription;
    std::string filenameExtension;
    std::string mimeType;
    uint32_t flags = 0;
    uint32_t version = 0;
    uint32_t signatureCount = 0;
    uint32_t signatureSize = 0;
    // signatureCount patterns (and masks) of signatureSize bytes each.
    Bytes signaturePattern;
    Bytes signatureMask;
};

// Replaces encoders with the installed encoders; returns their count.
uint32_t GetEncoders(std::vector<EncoderDescription>& encoders);
// The first encoder whose format identifier is exactly formatId; empty when none.
std::string EncoderClsidText(const std::string& formatId);

// One encoder parameter: its category, and numberOfValues values of type
// (EncoderParameterValueType) held in value.
struct EncoderParameter {
    std::string guid;
    uint32_t numberOfValues = 0;
    uint32_t type = 0;
    Bytes value;
};

struct EncoderParameterList {
    std::vector<EncoderParameter> parameters;
};

// Bytes per value of an EncoderParameterValueType; 0 for a type this library
// does not know.
uint32_t EncoderValueSize(uint32_t type);

// The platform's EncoderParameters block for a list. It points into the
// list's value bytes, so the list must outlive it. Invalid when a value is
// shorter than its count and type say, or of an unknown type: the encoder
// would read past it.
class EncoderParameterBlock {
public:
    explicit EncoderParameterBlock(const EncoderParameterList& list);
    bool Valid() const { return valid_; }
    const Gdiplus::EncoderParameters* Get() const;

private:
    std::unique_ptr<unsigned char[]> storage_;
    bool valid_ = false;
};

// Reads a platform EncoderParameters block of size bytes into a list.
bool ReadEncoderParameterBlock(const void* block, size_t size, EncoderParameterList& list);

}  // namespace varnel
