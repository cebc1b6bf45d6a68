#pragma once
// The object model shared by every class over the imaging service: a native
// handle kept by the base, a hook that keeps each class's own pointer field
// equal to it, the module-wide last status and failure text.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/bytes.h"

namespace varnel {

// Status of the most recent imaging call made by any wrapper that records it.
extern int lastStatus;

// Stores an imaging call's status where every wrapper leaves it; true when it
// is Ok. The one place that writes a call's status, for every class.
inline bool Record(int status) {
    lastStatus = status;
    return status == 0;
}

// The imaging service's InvalidParameter, recorded when a wrapper refuses
// arguments that would make the platform read or write out of bounds.
constexpr int kInvalidParameter = 2;

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

// One more start of the imaging service, with a token of its own; the
// service is never shut down, the process end ends it.
ULONG_PTR StartImaging();

// Operations are virtual and declared in a fixed order per class: the hook a
// class calls from OnSetNativeHandle is always its first own operation.
class GraphicsObject {
public:
    GraphicsObject() = default;
    // Two owners of one platform object would free it twice; View() of each
    // class makes an explicit non-owning view instead.
    GraphicsObject(const GraphicsObject&) = delete;
    GraphicsObject& operator=(const GraphicsObject&) = delete;
    virtual ~GraphicsObject() = default;

    void* GetNativeHandle() const { return nativeHandle_; }
    // The object owns what it is given, except the platform object it was
    // made a view of: handing it a handle never changes whose that one is.
    void SetNativeHandle(void* handle) {
        nativeHandle_ = handle;
        OnSetNativeHandle(handle);
    }
    void* AllocateMemory(uint32_t size);
    void FreeMemory(void* block);

    // True while the object holds the platform object it was made a view of:
    // it never frees that object, and its delete only lets go of it.
    bool IsView() const { return viewed_ && viewed_ == nativeHandle_; }

protected:
    // Each class stores the handle in its own typed field here.
    virtual void OnSetNativeHandle(void* handle) = 0;

    // Create: the caller has already deleted what it held. The handle is kept
    // even on failure: it is whatever the platform left in the out-parameter.
    template <typename P, typename Call>
    bool CreateShape(P*& own, Call create) {
        own = nullptr;
        int status = create(&own);
        SetNativeHandle(own);
        return Record(status);
    }

    // Delete: an empty object leaves lastStatus alone; a view only forgets
    // the pointer its source still owns.
    template <typename P, typename Call>
    bool DeleteShape(P*& own, Call destroy) {
        if (!own) return false;
        if (IsView()) {
            viewed_ = nullptr;
            SetNativeHandle(nullptr);
            return true;
        }
        int status = destroy(own);
        SetNativeHandle(nullptr);
        return Record(status);
    }

    // Get: a zero-filled local the platform writes into.
    template <typename T, typename Call>
    static T GetShape(Call get) {
        T value{};
        Record(get(&value));
        return value;
    }

    // Test: the platform's BOOL (an int) as a truth value.
    template <typename Call>
    static bool TestShape(Call test) {
        return GetShape<int>(test) != 0;
    }

    // Clone into: the target's previous object is deleted through its own
    // delete operation, since the target is its only owner; lastStatus keeps
    // the clone's status.
    template <typename P, typename Target, typename Call>
    static bool CloneShape(Target& target, bool (Target::*deleteOperation)(), Call clone) {
        P* copy = nullptr;
        int status = clone(&copy);
        (target.*deleteOperation)();
        target.SetNativeHandle(copy);
        return Record(status);
    }

    // A new object of the same class working on source's platform object
    // without owning it. What the view creates or is handed later is its own.
    template <typename T>
    static std::unique_ptr<T> ViewOf(const T& source) {
        auto view = std::make_unique<T>();
        GraphicsObject& base = *view;
        base.viewed_ = source.GetNativeHandle();
        base.SetNativeHandle(base.viewed_);
        return view;
    }

private:
    void* nativeHandle_ = nullptr;
    // The platform object this one was made a view of, while it holds it.
    void* viewed_ = nullptr;
};

}  // namespace varnel
