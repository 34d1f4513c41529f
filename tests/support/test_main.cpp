// The main of every test executable.
#include <gtest/gtest.h>

#include "support/test_env.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
