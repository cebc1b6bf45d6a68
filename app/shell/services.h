#pragma once
// The services the program starts for itself and stops at its end.
#include <windows.h>

namespace varnel {

// The imaging service, from construction to destruction.
class ImagingSession {
public:
    ImagingSession();
    ImagingSession(const ImagingSession&) = delete;
    ImagingSession& operator=(const ImagingSession&) = delete;
    ~ImagingSession();
    bool Started() const { return token_ != 0; }

private:
    ULONG_PTR token_ = 0;
};

// OLE on this thread (the shell's dialogs and dropping need it).
class OleSession {
public:
    OleSession();
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
    ~OleSession();
    bool Started() const { return started_; }

private:
    bool started_ = false;
};

}  // namespace varnel
