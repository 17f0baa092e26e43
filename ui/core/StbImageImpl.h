// A private copy of stb_image for the source file that includes this header: every function is
// static, so several files (the decoder, a test that decodes for comparison) may each have one.
// Include it in source files only, never in another header.
#pragma once

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_NO_HDR
#define STBI_NO_LINEAR
// No skin picture comes near this; a damaged header that claims tens of thousands of rows fails
// at once instead of making the decoder read zeros for seconds.
#define STBI_MAX_DIMENSIONS 16384
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include "stb_image.h"
#pragma GCC diagnostic pop
