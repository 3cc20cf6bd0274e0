// The Windows volume back end on a machine without a sound device, as under Wine with no sound
// server: there is nothing to raise, and that is no failure; a device that is gone is one.

#include "windows/EndpointVolumeControl.h"

#include <gtest/gtest.h>

using namespace zembra;

namespace {

class NoEndpoint : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (control.Available()) {
            GTEST_SKIP() << "this machine has a render endpoint";
        }
    }

    EndpointVolumeControl control;
};

} // namespace

TEST_F(NoEndpoint, NothingToReadAndTheStateStaysAsItWas)
{
    VolumeState state{"kept", {7, 8}, true};
    EXPECT_FALSE(control.Read(state));
    EXPECT_EQ(state, (VolumeState{"kept", {7, 8}, true}));
}

TEST_F(NoEndpoint, RaisingAndRestoringTheDefaultOutputSucceedWithoutChange)
{
    EXPECT_TRUE(control.SetMaximum({}));
    EXPECT_TRUE(control.Write(VolumeState{{}, {0x3f000000u, 0x3f000000u}, false}));
}

TEST_F(NoEndpoint, ADeviceThatIsGoneIsAFailure)
{
    const std::string gone = "{0.0.0.00000000}.{00000000-0000-0000-0000-000000000000}";
    EXPECT_FALSE(control.SetMaximum(gone));
    EXPECT_FALSE(control.Write(VolumeState{gone, {0x3f800000u}, false}));
}

TEST(SystemVolumeSelection, IsTheEndpointVolume)
{
    EXPECT_NE(dynamic_cast<EndpointVolumeControl*>(CreateSystemVolumeControl().get()), nullptr);
}
