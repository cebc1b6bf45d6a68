#include "graphics/objects/image_codecs.h"

#include <cstddef>
#include <cstring>

#include "graphics/objects/graphics_object.h"

namespace varnel {

using namespace Gdiplus::DllExports;

std::string GuidToText(const GUID& guid) {
    wchar_t text[39] = {};
    StringFromGUID2(guid, text, 39);
    return FromWideText(text);
}

GUID TextToGuid(const std::string& text) {
    GUID guid{};
    Bytes wide = ToWideText(text);
    if (CLSIDFromString(reinterpret_cast<LPCOLESTR>(wide.data()), &guid) != NOERROR) guid = GUID{};
    return guid;
}

namespace {
std::string WideField(const WCHAR* text) { return text ? FromWideText(text) : std::string(); }

Bytes Signature(const BYTE* bytes, size_t size) { return bytes && size ? Bytes(bytes, bytes + size) : Bytes(); }
}  // namespace

uint32_t GetEncoders(std::vector<EncoderDescription>& encoders) {
    encoders.clear();
    UINT count = 0, size = 0;
    if (GdipGetImageEncodersSize(&count, &size) != Gdiplus::Ok || !count || size < count * sizeof(Gdiplus::ImageCodecInfo))
        return 0;
    // operator new gives storage aligned for the records and their pointers.
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[size]);
    auto* infos = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.get());
    if (GdipGetImageEncoders(count, size, infos) != Gdiplus::Ok) return 0;
    for (UINT i = 0; i < count; ++i) {
        const Gdiplus::ImageCodecInfo& info = infos[i];
        EncoderDescription d;
        d.clsid = GuidToText(info.Clsid);
        d.formatId = GuidToText(info.FormatID);
        d.codecName = WideField(info.CodecName);
        d.dllName = WideField(info.DllName);
        d.formatDescription = WideField(info.FormatDescription);
        d.filenameExtension = WideField(info.FilenameExtension);
        d.mimeType = WideField(info.MimeType);
        d.flags = info.Flags;
        d.version = info.Version;
        d.signatureCount = info.SigCount;
        d.signatureSize = info.SigSize;
        // Every pattern, not just the first: a codec may know several.
        size_t signatureBytes = static_cast<size_t>(info.SigCount) * info.SigSize;
        d.signaturePattern = Signature(info.SigPattern, signatureBytes);
        d.signatureMask = Signature(info.SigMask, signatureBytes);
        encoders.push_back(std::move(d));
    }
    return static_cast<uint32_t>(encoders.size());
}

std::string EncoderClsidText(const std::string& formatId) {
    std::vector<EncoderDescription> encoders;
    GetEncoders(encoders);
    for (const EncoderDescription& encoder : encoders) {
        if (encoder.formatId == formatId) return encoder.clsid;
    }
    return std::string();
}

uint32_t EncoderValueSize(uint32_t type) {
    switch (type) {
        case Gdiplus::EncoderParameterValueTypeByte:
        case Gdiplus::EncoderParameterValueTypeASCII:
        case Gdiplus::EncoderParameterValueTypeUndefined: return 1;
        case Gdiplus::EncoderParameterValueTypeShort: return 2;
        case Gdiplus::EncoderParameterValueTypeLong: return 4;
        case Gdiplus::EncoderParameterValueTypeRational:
        case Gdiplus::EncoderParameterValueTypeLongRange: return 8;
        case Gdiplus::EncoderParameterValueTypeRationalRange: return 16;
        default: return 0;
    }
}

namespace {
constexpr size_t kFirstParameter = offsetof(Gdiplus::EncoderParameters, Parameter);
}

EncoderParameterBlock::EncoderParameterBlock(const EncoderParameterList& list) {
    size_t count = list.parameters.size();
    size_t size = kFirstParameter + count * sizeof(Gdiplus::EncoderParameter);
    if (size < sizeof(Gdiplus::EncoderParameters)) size = sizeof(Gdiplus::EncoderParameters);
    storage_.reset(new unsigned char[size]());
    auto* block = reinterpret_cast<Gdiplus::EncoderParameters*>(storage_.get());
    block->Count = static_cast<UINT>(count);
    auto* entries = reinterpret_cast<Gdiplus::EncoderParameter*>(storage_.get() + kFirstParameter);
    for (size_t i = 0; i < count; ++i) {
        const EncoderParameter& p = list.parameters[i];
        uint64_t needed = static_cast<uint64_t>(p.numberOfValues) * EncoderValueSize(p.type);
        if (!EncoderValueSize(p.type) || p.value.size() < needed) return;
        entries[i].Guid = TextToGuid(p.guid);
        entries[i].NumberOfValues = p.numberOfValues;
        entries[i].Type = p.type;
        // The encoder only reads the values.
        entries[i].Value = const_cast<unsigned char*>(p.value.data());
    }
    valid_ = true;
}

const Gdiplus::EncoderParameters* EncoderParameterBlock::Get() const {
    return valid_ ? reinterpret_cast<const Gdiplus::EncoderParameters*>(storage_.get()) : nullptr;
}

bool ReadEncoderParameterBlock(const void* block, size_t size, EncoderParameterList& list) {
    list.parameters.clear();
    if (!block || size < kFirstParameter) return false;
    const auto* bytes = static_cast<const unsigned char*>(block);
    UINT count = reinterpret_cast<const Gdiplus::EncoderParameters*>(block)->Count;
    if (count > (size - kFirstParameter) / sizeof(Gdiplus::EncoderParameter)) return false;
    const auto* entries = reinterpret_cast<const Gdiplus::EncoderParameter*>(bytes + kFirstParameter);
    for (UINT i = 0; i < count; ++i) {
        EncoderParameter p;
        p.guid = GuidToText(entries[i].Guid);
        p.numberOfValues = entries[i].NumberOfValues;
        p.type = entries[i].Type;
        size_t length = static_cast<size_t>(p.numberOfValues) * EncoderValueSize(p.type);
        if (entries[i].Value && length) {
            const auto* value = static_cast<const unsigned char*>(entries[i].Value);
            p.value.assign(value, value + length);
        }
        list.parameters.push_back(std::move(p));
    }
    return true;
}

}  // namespace varnel
