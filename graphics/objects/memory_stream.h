#pragma once
// Placeholder until the memory stream lands: owned by Image.
namespace varnel {
class MemoryStream {
public:
    MemoryStream() = default;
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;
};
}  // namespace varnel
