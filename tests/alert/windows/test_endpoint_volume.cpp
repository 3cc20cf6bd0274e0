// The system's volume control on Windows (the default render endpoint's volume) on a machine
// without a sound device, as under Wine with no sound server: there is nothing to raise, and
// that is no failure; a device that is gone is one.

#include "IVolumeControl.h"

#include <gtest/gtest.h>

#include <memory>

using namespace zembra;

namespace {

class NoEndpoint : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (control->Available()) {
            GTEST_SKIP() << "this machine has a render endpoint";
        }
    }

    const std::unique_ptr<IVolumeControl> control = CreateSystemVolumeControl();
};

} // namespace

TEST_F(NoEndpoint, DefaultOutputHasNothingToReadAndRaisingOrRestoringItSucceeds)
{
    VolumeState state{"kept", {7, 8}, true};
    EXPECT_FALSE(control->Read(state));
    EXPECT_EQ(state, (VolumeState{"kept", {7, 8}, true}));
    EXPECT_TRUE(control->SetMaximum({}));
    EXPECT_TRUE(control->Write(VolumeState{{}, {0x3f000000u, 0x3f000000u}, false}));
}

TEST_F(NoEndpoint, ADeviceThatIsGoneIsAFailure)
{
    const std::string gone = "{0.0.0.00000000}.{00000000-0000-0000-0000-000000000000}";
    EXPECT_FALSE(control->SetMaximum(gone));
    EXPECT_FALSE(control->Write(VolumeState{gone, {0x3f800000u}, false}));
}
