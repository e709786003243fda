#include <gtest/gtest.h>

#include "ledrix/ledrix.h"

TEST(Smoke, VersionText) { EXPECT_STREQ(ledrix::VersionText(), "Ledrix Version 2012.2") << "placeholder"; }
