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
    // Two owners of one platform object would free it twice; Copy() of each
    // class makes a non-owning copy instead.
    GraphicsObject(const GraphicsObject&) = delete;
    GraphicsObject& operator=(const GraphicsObject&) = delete;
    virtual ~GraphicsObject() = default;

    void* GetNativeHandle() const { return nativeHandle_; }
    // The object owns what it is given; only Copy() makes a borrower.
    void SetNativeHandle(void* handle) {
        nativeHandle_ = handle;
        borrowed_ = false;
        OnSetNativeHandle(handle);
    }
    void* AllocateMemory(uint32_t size);
    void FreeMemory(void* block);

    // True for a copy that shares its source's platform object: it never
    // frees that object, and its delete only lets go of it.
    bool IsBorrowed() const { return borrowed_; }

protected:
    // Each class stores the handle in its own typed field here.
    virtual void OnSetNativeHandle(void* handle) = 0;

    // Records a platform status; true when it is Ok.
    static bool Record(int status) {
        lastStatus = status;
        return status == 0;
    }

    // Create: the caller has already deleted what it held. The handle is kept
    // even on failure: it is whatever the platform left in the out-parameter.
    template <typename P, typename Call>
    bool CreateShape(P*& own, Call create) {
        own = nullptr;
        int status = create(&own);
        lastStatus = status;
        SetNativeHandle(own);
        return status == 0;
    }

    // Delete: an empty object leaves lastStatus alone; a borrowed one only
    // forgets the pointer its source still owns.
    template <typename P, typename Call>
    bool DeleteShape(P*& own, Call destroy) {
        if (!own) return false;
        if (borrowed_) {
            SetNativeHandle(nullptr);
            return true;
        }
        int status = destroy(own);
        lastStatus = status;
        SetNativeHandle(nullptr);
        return status == 0;
    }

    // Get: a zero-filled local the platform writes into.
    template <typename T, typename Call>
    static T GetShape(Call get) {
        T value{};
        lastStatus = get(&value);
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
        lastStatus = status;
        target.SetNativeHandle(copy);
        return status == 0;
    }

    // A new object of the same class sharing source's platform object
    // without owning it.
    template <typename T>
    static std::unique_ptr<T> BorrowedCopy(const T& source) {
        auto copy = std::make_unique<T>();
        GraphicsObject& base = *copy;
        base.SetNativeHandle(source.GetNativeHandle());
        base.borrowed_ = source.GetNativeHandle() != nullptr;
        return copy;
    }

private:
    void* nativeHandle_ = nullptr;
    bool borrowed_ = false;
};

}  // namespace varnel
