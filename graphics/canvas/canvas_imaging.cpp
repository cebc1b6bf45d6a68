#include "graphics/canvas/canvas.h"
#include "graphics/canvas/canvas_internal.h"

// The imaging rows: shapes, fills, images, metafile playback, clipping and
// containers, each one call on the graphics with its status kept in
// lastStatus.
namespace varnel {

using namespace canvas_detail;

#define CANVAS_LEAD(...) graphics_ __VA_OPT__(, ) __VA_ARGS__
#define CANVAS_OPTIONAL(value)
#define CANVAS_IMAGING_SET(Name, Function, Params, Args) \
    bool Canvas::Name Params { return Record(Gdiplus::DllExports::Function(CANVAS_LEAD Args)); }
#define CANVAS_IMAGING_GET(Type, Name, Function, Params, Args, Init)         \
    Type Canvas::Name Params {                                               \
        Type value Init;                                                     \
        Record(Gdiplus::DllExports::Function(CANVAS_LEAD Args, &value));     \
        return value;                                                        \
    }
#define CANVAS_IMAGING_TEST(Name, Function, Params, Args)                    \
    bool Canvas::Name Params {                                               \
        BOOL result = FALSE;                                                 \
        Record(Gdiplus::DllExports::Function(CANVAS_LEAD Args, &result));    \
        return result != FALSE;                                              \
    }
#include "graphics/canvas/canvas_ops.def"
#undef CANVAS_OPTIONAL
#undef CANVAS_LEAD

}  // namespace varnel
