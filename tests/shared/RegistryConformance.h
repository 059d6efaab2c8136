// The registry conformance suite runs the same cases against every registry
// backend. Each test program that includes the suite defines this function
// to say which backend it checks.
#pragma once

#include "store/RegistryBackend.h"

#include <memory>

namespace flipset {

std::unique_ptr<RegistryBackend> MakeConformanceBackend();

}  // namespace flipset
