#include "graphics/canvas/canvas.h"
