#pragma once
// The watermark runs' files: each picture marked at its own size from its
// own pixels, encoded as its name says, its metadata kept.
#include <string>

#include "app/operations/watermark_settings.h"
#include "platform/bytes.h"
#include "platform/gdiplus_flat.h"

namespace varnel {

// How a run marks every file.
struct FileMarking {
    WatermarkMode mode = WatermarkMode::None;
    // Text: the settings as the preview draws them, in the run's style.
    WatermarkSettings text;
    TextStyle style = TextStyle::Bold;
    // The rectangle the preview stretches a picture over: the text goes where
    // the preview shows it, scaled from preview to picture on each axis.
    float previewWidth = 0;
    float previewHeight = 0;
    // Picture: the mark (a 24-bit BMP file image) multiplied in at a place
    // in the picture's own pixels.
    Bytes mark;
    WatermarkPosition markAt;
};

enum class FileFailure { None, NotPicture, NotDrawn, NotEncoded };

struct MarkedFile {
    Bytes bytes;
    FileFailure failure = FileFailure::None;
};

// The file's bytes marked and encoded for a file named `name`: in the
// format the name says, or else the one the file had. `decoded`, when given,
// is the file's picture decoded upright already; it is not changed unless
// `drawOnDecoded`, when the caller's own copy is drawn on where it can be,
// instead of a full copy of it.
[[nodiscard]] MarkedFile MarkFile(const Bytes& fileBytes, const std::string& name, const FileMarking& marking,
                                  Gdiplus::GpBitmap* decoded = nullptr, bool drawOnDecoded = false);

}  // namespace varnel
