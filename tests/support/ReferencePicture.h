#pragma once

// Reference pictures for headless GL tests, kept in tests/data/render. A picture drawn
// is compared with its reference within a tolerance per channel; when they differ, the
// picture drawn is written next to the test's temporary files for a look. Run with
// SPARV_UPDATE_REFERENCES=1 to write the references anew.

#include "scene/Image.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

inline void ExpectMatchesReference(const Image& picture, const std::string& file,
                                   int tolerance = 3) {
    const std::string path = std::string(SPARV_TEST_DATA) + "/render/" + file;
    std::string reason;
    if (std::getenv("SPARV_UPDATE_REFERENCES")) {
        ASSERT_TRUE(WritePng(path, picture.width, picture.height, picture.rgba, &reason)) << reason;
        return;
    }
    Image reference;
    ASSERT_TRUE(ReadImage(path, reference, &reason)) << reason;
    const ImageDifference difference = CompareImages(picture, reference, tolerance);
    if (!difference.Matches()) {
        std::string flat = file;
        for (char& c : flat)
            if (c == '/')
                c = '_';
        const std::string actual = testing::TempDir() + flat;
        WritePng(actual, picture.width, picture.height, picture.rgba);
        ADD_FAILURE() << file << ": " << difference.differingPixels << " pixels differ by up to "
                      << difference.maxChannelDifference << "; the picture drawn is " << actual;
    }
}

// Skips a test when the machine has no headless OpenGL, unless SPARV_REQUIRE_GL says it
// must have one (CI), where it fails instead.
#define SPARV_REQUIRE_HEADLESS_GL(context, reason)                                                 \
    do {                                                                                           \
        if (!(context)) {                                                                          \
            if (std::getenv("SPARV_REQUIRE_GL"))                                                   \
                FAIL() << "no headless OpenGL: " << (reason);                                      \
            GTEST_SKIP() << "no headless OpenGL: " << (reason);                                    \
        }                                                                                          \
    } while (false)
