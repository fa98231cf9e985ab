// The compiler tests use the shared scratch folders.
#pragma once

#include "tests/support/scratch.h"

namespace bglc_test {
using testsupport::TempFolder;
}  // namespace bglc_test
