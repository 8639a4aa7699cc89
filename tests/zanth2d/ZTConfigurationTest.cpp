#include <gtest/gtest.h>

#include "GLTestContext.h"
#include "ZTConfiguration.h"

using namespace zanth2d;

TEST(ConfigurationVersion, classesByTheLeadingMajorMinorNumber)
{
    EXPECT_EQ(ZTConfiguration::glesVersionFromString("1.0 Apple"), kZTGlesVersion1_0);
    EXPECT_EQ(ZTConfiguration::glesVersionFromString("1.1 Apple"), kZTGlesVersion1_1);
    EXPECT_EQ(ZTConfiguration::glesVersionFromString("1.5"), kZTGlesVersion1_1);
    EXPECT_EQ(ZTConfiguration::glesVersionFromString("OpenGL ES 2.0 Mesa"), kZTGlesVersion2_0);
    EXPECT_EQ(ZTConfiguration::glesVersionFromString("2.1"), kZTGlesVersion2_0);
}

TEST(ConfigurationVersion, vendorNumbersAfterTheVersionDoNotCount)
{
    // A substring test would find "1.0" and "1.1" in these build numbers.
    EXPECT_EQ(ZTConfiguration::glesVersionFromString("4.5 (Compatibility Profile) Mesa 23.1.0"),
              kZTGlesVersion2_0);
    EXPECT_EQ(ZTConfiguration::glesVersionFromString("2.1 NVIDIA-1.1.0"), kZTGlesVersion2_0);
}

TEST(ConfigurationVersion, missingOrNumberlessTextIsInvalid)
{
    EXPECT_EQ(ZTConfiguration::glesVersionFromString(nullptr), kZTGlesVersionInvalid);
    EXPECT_EQ(ZTConfiguration::glesVersionFromString(""), kZTGlesVersionInvalid);
    EXPECT_EQ(ZTConfiguration::glesVersionFromString("OpenGL"), kZTGlesVersionInvalid);
}

TEST(ConfigurationExtensions, matchWholeNamesOnly)
{
    const char* list = "GL_EXT_foo_bar GL_ARB_baz GL_EXT_discard_framebuffer";
    EXPECT_TRUE(ZTConfiguration::extensionListContains(list, "GL_ARB_baz"));
    EXPECT_TRUE(ZTConfiguration::extensionListContains(list, "GL_EXT_foo_bar"));
    EXPECT_TRUE(ZTConfiguration::extensionListContains(list, "GL_EXT_discard_framebuffer"));
    EXPECT_FALSE(ZTConfiguration::extensionListContains(list, "GL_EXT_foo"));
    EXPECT_FALSE(ZTConfiguration::extensionListContains(list, "foo_bar"));
    EXPECT_FALSE(ZTConfiguration::extensionListContains(nullptr, "GL_ARB_baz"));
}

TEST(ConfigurationContext, readsTheCurrentContextOnce)
{
    GLTestContext context;
    ZTConfiguration* configuration = ZTConfiguration::sharedConfiguration();
    EXPECT_EQ(configuration, ZTConfiguration::sharedConfiguration());
    EXPECT_GE(configuration->getMaxTextureSize(), 64);
    EXPECT_GE(configuration->getMaxModelviewStackDepth(), 16);
    EXPECT_EQ(configuration->getGlesVersion(), kZTGlesVersion2_0) << "Mesa offers GL 2.0 or later";
    EXPECT_TRUE(configuration->checkForGLExtension("GL_ARB_multitexture"));
    EXPECT_FALSE(configuration->checkForGLExtension("GL_ARB_multi"));
}
