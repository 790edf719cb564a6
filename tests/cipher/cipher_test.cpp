#include "tests/support/test_support.h"
#include "cipher/cipher.h"
#include <cstring>

TEST(Smoke, Builds) { EXPECT_EQ(1, 1); }
