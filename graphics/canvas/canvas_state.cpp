#include "graphics/canvas/canvas.h"
#include "graphics/canvas/canvas_internal.h"

// The rendering-state rows: each is one call on the graphics, its status kept
// in lastStatus; getters read into a zero-filled local.
namespace varnel {

using namespace canvas_detail;

#define CANVAS_LEAD(...) graphics_ __VA_OPT__(, ) __VA_ARGS__
#define CANVAS_OPTIONAL(value)
#define CANVAS_STATE_SET(Name, Function, Params, Args) \
    bool Canvas::Name Params { return Record(Gdiplus::DllExports::Function(CANVAS_LEAD Args)); }
#define CANVAS_STATE_GET(Type, Name, Function, Params, Args, Init)           \
    Type Canvas::Name Params {                                               \
        Type value Init;                                                     \
        Record(Gdiplus::DllExports::Function(CANVAS_LEAD Args, &value));     \
        return value;                                                        \
    }
#include "graphics/canvas/canvas_ops.def"
#undef CANVAS_OPTIONAL
#undef CANVAS_LEAD

}  // namespace varnel
