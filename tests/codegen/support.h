// The code-generation tests use the shared scratch folders and scripted platform.
#pragma once

#include "tests/support/scratch.h"

namespace cg_test = testsupport;
