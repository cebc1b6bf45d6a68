#pragma once
#include "graphics/objects/graphics_object.h"
#include "graphics/objects/memory_stream.h"

namespace varnel {
// Placeholder until the image class lands: an empty image with its stream.
class Image : public GraphicsObject {
public:
    Image() = default;
    ~Image() override = default;

protected:
    void OnSetNativeHandle(void* handle) override { image_ = handle; }

private:
    void* image_ = nullptr;
    MemoryStream stream_;
};
}  // namespace varnel
