#include "graphics/objects/image.h"
