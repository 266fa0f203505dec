#pragma once
// Shared check of the support tools' tests: the open track survives a save
// and a reload with the same record counts, and every reference of a tube end
// or catwalk corner names a record that exists.

#include <gtest/gtest.h>

::testing::AssertionResult EveryReferenceValid();
::testing::AssertionResult SavesAndReloadsValid();
