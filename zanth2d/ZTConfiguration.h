#pragma once

#include <string>

#include "cocoa/ZTObject.h"

namespace zanth2d {

// Version classes of the GL context; code that needs framebuffer objects skips its work below 1.1.
enum ztGlesVersion
{
    kZTGlesVersionInvalid = 0,
    kZTGlesVersion1_0 = 1,
    kZTGlesVersion1_1 = 2,
    kZTGlesVersion2_0 = 3,
};

// Capabilities of the current GL context, read once on the first sharedConfiguration() call, which must
// happen with a current context.
class ZTConfiguration : public ZTObject
{
public:
    static ZTConfiguration* sharedConfiguration();

    bool init();

    int getMaxTextureSize() const { return m_nMaxTextureSize; }
    int getMaxModelviewStackDepth() const { return m_nMaxModelviewStackDepth; }
    bool isSupportsPVRTC() const { return m_bSupportsPVRTC; }
    bool isSupportsNPOT() const { return m_bSupportsNPOT; }
    bool isSupportsBGRA8888() const { return m_bSupportsBGRA8888; }
    bool isSupportsDiscardFramebuffer() const { return m_bSupportsDiscardFramebuffer; }

    // Whether the context lists the extension by its whole name; false before init or without a list.
    bool checkForGLExtension(const std::string& name) const;
    // The version class of the current context's GL_VERSION text.
    ztGlesVersion getGlesVersion() const;

    // Classes a GL_VERSION text by its leading major.minor number ("OpenGL ES " prefixes are skipped):
    // 1.0 is class 1, other 1.x class 2, 2.0 and later class 3; no number gives kZTGlesVersionInvalid.
    static ztGlesVersion glesVersionFromString(const char* versionText);
    // Whether a space-separated extension list holds the name as a whole entry.
    static bool extensionListContains(const char* extensions, const std::string& name);

private:
    ZTConfiguration() = default;

    int m_nMaxTextureSize = 0;
    int m_nMaxModelviewStackDepth = 0;
    bool m_bSupportsPVRTC = false;
    bool m_bSupportsNPOT = false;
    bool m_bSupportsBGRA8888 = false;
    bool m_bSupportsDiscardFramebuffer = false;
    bool m_bInited = false;
    const char* m_pGlExtensions = nullptr;
};

} // namespace zanth2d
