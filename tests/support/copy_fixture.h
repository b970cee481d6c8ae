// Shared by the tests of the copies: an installation folder in a fresh test
// double, and no handle left open after a test.
#pragma once

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "tests/support/fake_platform.h"

inline bool sameTimes(const platform::FileTimes& a, const platform::FileTimes& b) {
    return a.creation == b.creation && a.lastAccess == b.lastAccess && a.lastWrite == b.lastWrite;
}

class InstallFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::reset();
        fake::makeDirectory("C:\\Tolva");
    }

    void TearDown() override { EXPECT_EQ(fake::openFileCount(), 0); }
};
