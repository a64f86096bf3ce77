// Module resources: none exist for the program, and test resources are found by name and type
// without regard to case, by integer identifier, and go away with the seams' reset.
#include "platform/test_seams.h"
#include "platform/win32/resources.h"

#include <gtest/gtest.h>

namespace {

class Resources : public ::testing::Test {
protected:
    void TearDown() override {
        seams::ResetAll();
        seams::ClearFailures();
    }
};

TEST_F(Resources, TheProgramHasNoWaveResources) {
    EXPECT_EQ(FindResourceA(nullptr, "laser.wav", "WAVE"), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, "laser.wav", "WAV"), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, nullptr, "WAV"), nullptr);
    EXPECT_EQ(LoadResource(nullptr, nullptr), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
    EXPECT_EQ(LockResource(nullptr), nullptr);
}

TEST_F(Resources, AddedResourcesAreFoundByNameTypeOrNumber) {
    seams::AddModuleResource("Boing", "wave", {1, 2, 3});
    seams::AddModuleResource("#101", "WAVE", {9});
    HRSRC found = FindResourceA(nullptr, "BOING", "WAVE");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(FindResourceA(nullptr, "boing", "WAV"), nullptr) << "another type";
    HGLOBAL loaded = LoadResource(nullptr, found);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(SizeofResource(nullptr, found), 3u);
    const auto *bytes = static_cast<const BYTE *>(LockResource(loaded));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes[2], 3);
    HRSRC numbered = FindResourceA(nullptr, MAKEINTRESOURCEA(101), "WAVE");
    ASSERT_NE(numbered, nullptr);
    EXPECT_EQ(SizeofResource(nullptr, numbered), 1u);

    seams::ResetAll();
    EXPECT_EQ(FindResourceA(nullptr, "boing", "WAVE"), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, found), 0u) << "a stale handle finds nothing";
}

} // namespace
