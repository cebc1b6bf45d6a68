#include "app/shell/services.h"

#include <ole2.h>

#include "graphics/objects/graphics_object.h"
#include "platform/gdiplus_flat.h"

namespace varnel {

ImagingSession::ImagingSession() {
    // The library's own start; the program then starts the service for itself.
    StartImagingService();
    token_ = StartImaging();
}

ImagingSession::~ImagingSession() {
    if (token_) Gdiplus::GdiplusShutdown(token_);
}

OleSession::OleSession() : started_(SUCCEEDED(OleInitialize(nullptr))) {}

OleSession::~OleSession() {
    if (started_) OleUninitialize();
}

}  // namespace varnel
