#include "graphics/objects/image.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

#include "platform/file_services.h"
#include "platform/picture_header.h"

namespace varnel {

using namespace Gdiplus::DllExports;

namespace {
// ToWideText's conversion, made absolute and in the "\\?\" form when long, so
// a file the listing shows past the classic limit loads and saves too.
std::wstring WidePath(const std::string& path) { return path.empty() ? std::wstring() : WideFilePath(path); }

// Scratch storage aligned for the platform's records, which hold pointers.
std::unique_ptr<unsigned char[]> Scratch(size_t size) {
    return std::unique_ptr<unsigned char[]>(new unsigned char[size ? size : 1]());
}
}  // namespace

Image::~Image() { Dispose(); }

bool Image::Dispose() {
    if (!image_) return false;
    bool ok = DeleteShape(image_, [](Gdiplus::GpImage* image) { return GdipDisposeImage(image); });
    stream_.Close();
    return ok;
}

bool Image::LoadFromFile(const std::string& path, bool useColorManagement) {
    Dispose();
    // The decoder would allocate for the claimed size before reading a pixel.
    if (!ClaimFitsLimit(ReadWholeFile(path))) return Record(Gdiplus::OutOfMemory);
    const std::wstring wide = WidePath(path);
    return CreateShape(image_, [&](Gdiplus::GpImage** out) {
        return useColorManagement ? GdipLoadImageFromFileICM(wide.c_str(), out)
                                  : GdipLoadImageFromFile(wide.c_str(), out);
    });
}

bool Image::LoadFromBytes(const Bytes& bytes, bool useColorManagement) {
    Dispose();
    if (!ClaimFitsLimit(bytes)) return Record(Gdiplus::OutOfMemory);
    IStream* stream = stream_.Open(bytes, true);
    bool ok = CreateShape(image_, [&](Gdiplus::GpImage** out) {
        return useColorManagement ? GdipLoadImageFromStreamICM(stream, out) : GdipLoadImageFromStream(stream, out);
    });
    // Without a picture nothing reads the copy any more.
    if (!image_) stream_.Close();
    return ok;
}

bool Image::CloneInto(Image& target) {
    return CloneShape<Gdiplus::GpImage>(target, &Image::Dispose,
                                        [&](Gdiplus::GpImage** out) { return GdipCloneImage(image_, out); });
}

bool Image::EncoderFor(const std::string& format, CLSID& encoder) {
    std::string clsid = EncoderClsidText(format.empty() ? GetRawFormat() : format);
    encoder = TextToGuid(clsid);
    return !clsid.empty();
}

bool Image::SaveToFile(const std::string& path, const std::string& format, const EncoderParameterList* parameters) {
    CLSID encoder;
    // Checked here rather than left to the platform, which would otherwise
    // leave an empty file behind.
    if (!EncoderFor(format, encoder)) return Record(Gdiplus::UnknownImageFormat);
    std::unique_ptr<EncoderParameterBlock> block;
    if (parameters) {
        block = std::make_unique<EncoderParameterBlock>(*parameters);
        if (!block->Valid()) return Record(kInvalidParameter);
    }
    const std::wstring wide = WidePath(path);
    return Record(GdipSaveImageToFile(image_, wide.c_str(), &encoder, block ? block->Get() : nullptr));
}

Bytes Image::SaveToBytes(const std::string& format, const EncoderParameterList* parameters) {
    MemoryStream output;
    CLSID encoder;
    if (!EncoderFor(format, encoder)) {
        Record(Gdiplus::UnknownImageFormat);
        return {};
    }
    std::unique_ptr<EncoderParameterBlock> block;
    if (parameters) {
        block = std::make_unique<EncoderParameterBlock>(*parameters);
        if (!block->Valid()) {
            Record(kInvalidParameter);
            return {};
        }
    }
    IStream* stream = output.Open(Bytes(), false);
    if (!Record(GdipSaveImageToStream(image_, stream, &encoder, block ? block->Get() : nullptr))) return {};
    return output.GetBytes();
}

bool Image::SaveAdd(const EncoderParameterList& parameters) {
    EncoderParameterBlock block(parameters);
    if (!block.Valid()) return Record(kInvalidParameter);
    return Record(GdipSaveAdd(image_, block.Get()));
}

bool Image::SaveAddImage(const Image& other, const EncoderParameterList& parameters) {
    EncoderParameterBlock block(parameters);
    if (!block.Valid()) return Record(kInvalidParameter);
    return Record(
        GdipSaveAddImage(image_, static_cast<Gdiplus::GpImage*>(other.GetNativeHandle()), block.Get()));
}

bool Image::GetEncoderParameterList(const std::string& format, EncoderParameterList& parameters) {
    CLSID encoder = TextToGuid(EncoderClsidText(format));
    UINT size = 0;
    if (!Record(GdipGetEncoderParameterListSize(image_, &encoder, &size))) return false;
    auto buffer = Scratch(size);
    auto* block = reinterpret_cast<Gdiplus::EncoderParameters*>(buffer.get());
    if (!Record(GdipGetEncoderParameterList(image_, &encoder, size, block))) return false;
    return ReadEncoderParameterBlock(block, size, parameters);
}

std::string Image::GetRawFormat() {
    GUID format = GetShape<GUID>([&](GUID* out) { return GdipGetImageRawFormat(image_, out); });
    return GuidToText(format);
}

Gdiplus::RectF Image::GetBounds(int32_t& unit) {
    Gdiplus::Unit platformUnit = Gdiplus::UnitWorld;
    Gdiplus::RectF bounds =
        GetShape<Gdiplus::RectF>([&](Gdiplus::RectF* out) { return GdipGetImageBounds(image_, out, &platformUnit); });
    unit = static_cast<int32_t>(platformUnit);
    return bounds;
}

Gdiplus::SizeF Image::GetDimension() {
    return GetShape<Gdiplus::SizeF>(
        [&](Gdiplus::SizeF* out) { return GdipGetImageDimension(image_, &out->Width, &out->Height); });
}

int32_t Image::GetType() {
    return GetShape<Gdiplus::ImageType>([&](Gdiplus::ImageType* out) { return GdipGetImageType(image_, out); });
}

uint32_t Image::GetWidth() {
    return GetShape<UINT>([&](UINT* out) { return GdipGetImageWidth(image_, out); });
}

uint32_t Image::GetHeight() {
    return GetShape<UINT>([&](UINT* out) { return GdipGetImageHeight(image_, out); });
}

float Image::GetHorizontalResolution() {
    return GetShape<Gdiplus::REAL>([&](Gdiplus::REAL* out) { return GdipGetImageHorizontalResolution(image_, out); });
}

float Image::GetVerticalResolution() {
    return GetShape<Gdiplus::REAL>([&](Gdiplus::REAL* out) { return GdipGetImageVerticalResolution(image_, out); });
}

uint32_t Image::GetFlags() {
    return GetShape<UINT>([&](UINT* out) { return GdipGetImageFlags(image_, out); });
}

int32_t Image::GetPixelFormat() {
    return GetShape<Gdiplus::PixelFormat>(
        [&](Gdiplus::PixelFormat* out) { return GdipGetImagePixelFormat(image_, out); });
}

bool Image::GetThumbnailInto(uint32_t width, uint32_t height, Image& target) {
    return CloneShape<Gdiplus::GpImage>(target, &Image::Dispose, [&](Gdiplus::GpImage** out) {
        return GdipGetImageThumbnail(image_, width, height, out, nullptr, nullptr);
    });
}

uint32_t Image::GetFrameCount(const std::string& dimension) {
    GUID id = TextToGuid(dimension);
    return GetShape<UINT>([&](UINT* out) { return GdipImageGetFrameCount(image_, &id, out); });
}

uint32_t Image::GetFrameDimensions(std::vector<std::string>& dimensions) {
    dimensions.clear();
    UINT count = GetShape<UINT>([&](UINT* out) { return GdipImageGetFrameDimensionsCount(image_, out); });
    if (lastStatus != Gdiplus::Ok || !count) return 0;
    std::vector<GUID> ids(count);
    if (!Record(GdipImageGetFrameDimensionsList(image_, ids.data(), count))) return 0;
    for (const GUID& id : ids) dimensions.push_back(GuidToText(id));
    return count;
}

bool Image::SelectActiveFrame(const std::string& dimension, uint32_t index) {
    GUID id = TextToGuid(dimension);
    return Record(GdipImageSelectActiveFrame(image_, &id, index));
}

bool Image::GetFrameDelays(std::vector<int32_t>& delays) {
    PropertyItemRecord item;
    if (!GetPropertyItem(kFrameDelayProperty, item)) return false;
    delays.assign(item.length / 4, 0);
    if (!delays.empty()) std::memcpy(delays.data(), item.value.data(), delays.size() * 4);
    return true;
}

bool Image::GetPropertyItem(uint32_t id, PropertyItemRecord& item) {
    UINT size = GetShape<UINT>([&](UINT* out) { return GdipGetPropertyItemSize(image_, id, out); });
    if (lastStatus != Gdiplus::Ok || size < sizeof(Gdiplus::PropertyItem)) return false;
    auto buffer = Scratch(size);
    auto* property = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.get());
    if (!Record(GdipGetPropertyItem(image_, id, size, property))) return false;
    item.id = property->id;
    item.type = property->type;
    item.length = property->length;
    item.value.clear();
    if (property->value && property->length) {
        const auto* value = static_cast<const unsigned char*>(property->value);
        // The value sits in the same buffer, after the record.
        const unsigned char* end = buffer.get() + size;
        size_t length = property->length;
        if (value >= buffer.get() && value <= end) length = std::min<size_t>(length, static_cast<size_t>(end - value));
        item.length = static_cast<uint32_t>(length);
        item.value.assign(value, value + length);
    }
    return true;
}

bool Image::SetPropertyItem(const PropertyItemRecord& item) {
    // The platform reads length bytes from the value.
    if (item.length > item.value.size()) return Record(kInvalidParameter);
    Gdiplus::PropertyItem property{};
    property.id = item.id;
    property.length = item.length;
    property.type = static_cast<WORD>(item.type);
    property.value = const_cast<unsigned char*>(item.value.data());
    return Record(GdipSetPropertyItem(image_, &property));
}

bool Image::RemovePropertyItem(uint32_t id) { return Record(GdipRemovePropertyItem(image_, id)); }

uint32_t Image::GetPropertyIdList(std::vector<uint32_t>& ids) {
    ids.clear();
    UINT count = GetShape<UINT>([&](UINT* out) { return GdipGetPropertyCount(image_, out); });
    if (lastStatus != Gdiplus::Ok || !count) return 0;
    std::vector<PROPID> list(count);
    if (!Record(GdipGetPropertyIdList(image_, count, list.data()))) return 0;
    ids.assign(list.begin(), list.end());
    return count;
}

bool Image::RotateFlip(int32_t type) {
    return Record(GdipImageRotateFlip(image_, static_cast<Gdiplus::RotateFlipType>(type)));
}

namespace {
constexpr size_t kFirstEntry = offsetof(Gdiplus::ColorPalette, Entries);
}

bool Image::GetPalette(PaletteRecord& palette) {
    INT size = GetShape<INT>([&](INT* out) { return GdipGetImagePaletteSize(image_, out); });
    if (lastStatus != Gdiplus::Ok || size < static_cast<INT>(kFirstEntry)) return false;
    auto buffer = Scratch(static_cast<size_t>(size));
    auto* platform = reinterpret_cast<Gdiplus::ColorPalette*>(buffer.get());
    if (!Record(GdipGetImagePalette(image_, platform, size))) return false;
    size_t room = (static_cast<size_t>(size) - kFirstEntry) / sizeof(Gdiplus::ARGB);
    size_t count = std::min<size_t>(platform->Count, room);
    palette.flags = platform->Flags;
    palette.count = static_cast<uint32_t>(count);
    const auto* entries = reinterpret_cast<const Gdiplus::ARGB*>(buffer.get() + kFirstEntry);
    palette.entries.assign(entries, entries + count);
    return true;
}

bool Image::SetPalette(const PaletteRecord& palette) {
    if (palette.count > palette.entries.size()) return Record(kInvalidParameter);
    size_t size = kFirstEntry + static_cast<size_t>(palette.count) * sizeof(Gdiplus::ARGB);
    auto buffer = Scratch(std::max(size, sizeof(Gdiplus::ColorPalette)));
    auto* platform = reinterpret_cast<Gdiplus::ColorPalette*>(buffer.get());
    platform->Flags = palette.flags;
    platform->Count = palette.count;
    if (palette.count)
        std::memcpy(buffer.get() + kFirstEntry, palette.entries.data(), palette.count * sizeof(Gdiplus::ARGB));
    return Record(GdipSetImagePalette(image_, platform));
}

}  // namespace varnel
