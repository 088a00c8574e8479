// The stand-in's control: call log, failure counts, reset and the image library's handle.
#include <gtest/gtest.h>

#include "PlatformControl.h"
#include "PlatformImage.h"
#include "PlatformNavigator.h"

namespace
{

using namespace plat;

TEST(PlatformControl, FailureCountsDownAndZeroClears)
{
    ResetPlatform(eBackend::Headless);
    FailCall("navigator_rotation_lock", 2);
    EXPECT_EQ(navigator_rotation_lock(true), BPS_FAILURE);
    EXPECT_EQ(navigator_rotation_lock(true), BPS_FAILURE);
    EXPECT_EQ(navigator_rotation_lock(true), BPS_SUCCESS);
    FailCall("navigator_rotation_lock", -1);
    FailCall("navigator_rotation_lock", 0);
    EXPECT_EQ(navigator_rotation_lock(true), BPS_SUCCESS);
    FailCall("navigator_set_orientation", -1);
    ResetPlatform(eBackend::Headless);
    EXPECT_EQ(navigator_set_orientation(0, nullptr), BPS_SUCCESS) << "reset clears failures";
    EXPECT_EQ(GetCallLog().size(), 1u) << "reset clears the log";
}

TEST(PlatformControl, X11WithoutAServerFailsToCreateAContext)
{
    ResetPlatform(eBackend::X11); // these tests run with no DISPLAY
    screen_context_t pContext = nullptr;
    EXPECT_EQ(screen_create_context(&pContext, 0), -1);
    EXPECT_EQ(pContext, nullptr);
    ResetPlatform(eBackend::Headless);
}

TEST(PlatformControl, ImageLibraryAttachIsLoggedAndCanFail)
{
    ResetPlatform(eBackend::Headless);
    img_lib_t pLib = nullptr;
    ASSERT_EQ(img_lib_attach(&pLib), IMG_ERR_OK);
    EXPECT_NE(pLib, nullptr);
    img_lib_detach(pLib);
    FailCall("img_lib_attach");
    EXPECT_NE(img_lib_attach(&pLib), IMG_ERR_OK);
    EXPECT_EQ(pLib, nullptr);
    const std::vector<std::string> aExpected = {"img_lib_attach", "img_lib_detach", "img_lib_attach"};
    EXPECT_EQ(GetCallNames(), aExpected);
}

} // namespace
