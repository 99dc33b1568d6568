// Shared helpers for the generator unit's tests.
#pragma once

#include "tests/support/UnitValues.h"
#include "tests/support/Units.h"

#include <gtest/gtest.h>

// In tree order; written out here so that the tests check the unit's table.
inline const std::vector<AUValue> kDefaults = {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0, 0};
