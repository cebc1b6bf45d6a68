#pragma once
// The object model shared by every class over the imaging service: a native
// handle kept by the base, a hook that keeps each class's own pointer field
// equal to it, the module-wide last status and failure text.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bytes.h"

namespace varnel {

// Status of the most recent imaging call made by any wrapper that records it.
extern int lastStatus;

// Accumulated failure texts of the classic-service wrappers; never shown.
const std::string& errorText();
void SetErrorText(const std::string& text);
void AppendErrorText(const std::string& text);
void ReleaseErrorText();

// Narrow (ANSI code page) text to zero-terminated UTF-16 bytes.
Bytes ToWideText(const std::string& text);
// Zero-terminated UTF-16 to narrow text, in the same code page ToWideText reads,
// so names and GUID texts make the round trip unchanged.
std::string FromWideText(const wchar_t* text);

// Starts the imaging service once for the library; never shut down.
void StartImagingService();

class GraphicsObject {
public:
    GraphicsObject() = default;
    GraphicsObject(const GraphicsObject&) = delete;
    GraphicsObject& operator=(const GraphicsObject&) = delete;
    virtual ~GraphicsObject() = default;

    void* GetNativeHandle() const { return nativeHandle_; }
    void SetNativeHandle(void* handle) {
        nativeHandle_ = handle;
        OnSetNativeHandle(handle);
    }
    void* AllocateMemory(uint32_t size);
    void FreeMemory(void* block);

protected:
    // Each class stores the handle in its own typed field here.
    virtual void OnSetNativeHandle(void* handle) = 0;

private:
    void* nativeHandle_ = nullptr;
};

}  // namespace varnel
