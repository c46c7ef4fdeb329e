// Image comparisons that show where they fail: the first differing pixel goes
// into the failure, and the actual picture and a diff picture (each differing
// pixel red, the rest a dimmed copy of the expected picture) are written as
// PNG files into the build's test-output folder, named in the message.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "host/image/frame_image.h"

// `name` names the files: NAME.actual.png and NAME.diff.png.
::testing::AssertionResult same_image(const std::string &name, const rgb_image_t &actual,
                                      const rgb_image_t &expected);

// Two afterglow buffers (element x * 256 + y) value for value, shown as frames.
::testing::AssertionResult same_afterglow(const std::string &name, const double *actual,
                                          const double *expected);

// The stored reference frames: tests/data/reference/NAME.png. With
// PC_SNAKE_RECORD_REFERENCES=1 in the environment the actual picture is
// stored instead, on purpose, and the test is told to skip.
bool recording_references();
::testing::AssertionResult same_as_reference(const std::string &name, const rgb_image_t &actual);
