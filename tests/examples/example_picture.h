// The one reference picture of an example, kept beside its source: a test's last picture must
// equal it pixel for pixel. A build configured with -DKELPA_UPDATE_PICTURES=ON rewrites it.
#pragma once

#include "kelpa.h"
#include "kelpa_testing.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace kelpa_testing {
inline void PrintTo(const Picture &picture, std::ostream *out) {
    *out << picture.width << " x " << picture.height << " picture";
}
} // namespace kelpa_testing

inline void expect_reference_picture(const kelpa_testing::Picture &actual) {
    std::string why;
    EXPECT_TRUE(kelpa_testing::same_picture(actual, KELPA_REFERENCE_PICTURE, &why, KELPA_UPDATE_PICTURES))
        << why;
}
