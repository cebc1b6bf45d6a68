#pragma once
#include "platform/bytes.h"

namespace varnel {
// The bytes of an RCDATA resource of the program; empty when missing.
Bytes LoadResourceBytes(int id);
}  // namespace varnel
