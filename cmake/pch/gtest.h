// The common headers and GoogleTest, for the tests of the logic.
#pragma once

#include "core.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
