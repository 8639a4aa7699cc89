#include "ZTConfiguration.h"

#include <GL/gl.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace zanth2d {

ZTConfiguration* ZTConfiguration::sharedConfiguration()
{
    static ZTConfiguration s_sharedConfiguration;
    if (!s_sharedConfiguration.m_bInited) {
        s_sharedConfiguration.init();
        s_sharedConfiguration.m_bInited = true;
    }
    return &s_sharedConfiguration;
}

bool ZTConfiguration::init()
{
    m_pGlExtensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &m_nMaxTextureSize);
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &m_nMaxModelviewStackDepth);
    m_bSupportsPVRTC = checkForGLExtension("GL_IMG_texture_compression_pvrtc");
    m_bSupportsNPOT = checkForGLExtension("GL_APPLE_texture_2D_limited_npot");
    m_bSupportsBGRA8888 = checkForGLExtension("GL_IMG_texture_format_BGRA888");
    m_bSupportsDiscardFramebuffer = checkForGLExtension("GL_EXT_discard_framebuffer");
    return true;
}

bool ZTConfiguration::checkForGLExtension(const std::string& name) const
{
    return extensionListContains(m_pGlExtensions, name);
}

ztGlesVersion ZTConfiguration::getGlesVersion() const
{
    return glesVersionFromString(reinterpret_cast<const char*>(glGetString(GL_VERSION)));
}

ztGlesVersion ZTConfiguration::glesVersionFromString(const char* versionText)
{
    if (!versionText) {
        return kZTGlesVersionInvalid;
    }
    // A substring test would misread vendor build numbers ("4.5 Mesa 21.1.0"); only the leading number
    // counts.
    const char* p = versionText;
    while (*p && !std::isdigit(static_cast<unsigned char>(*p))) {
        ++p;
    }
    if (!*p) {
        return kZTGlesVersionInvalid;
    }
    char* end = nullptr;
    long major = std::strtol(p, &end, 10);
    long minor = 0;
    if (*end == '.' && std::isdigit(static_cast<unsigned char>(end[1]))) {
        minor = std::strtol(end + 1, nullptr, 10);
    }
    if (major <= 0) {
        return kZTGlesVersionInvalid;
    }
    if (major == 1) {
        return minor == 0 ? kZTGlesVersion1_0 : kZTGlesVersion1_1;
    }
    return kZTGlesVersion2_0;
}

bool ZTConfiguration::extensionListContains(const char* extensions, const std::string& name)
{
    if (!extensions || name.empty()) {
        return false;
    }
    // Whole entries only: "GL_EXT_foo" must not match inside "GL_EXT_foo_bar".
    const size_t length = name.size();
    for (const char* hit = std::strstr(extensions, name.c_str()); hit;
         hit = std::strstr(hit + 1, name.c_str())) {
        bool startsEntry = hit == extensions || hit[-1] == ' ';
        bool endsEntry = hit[length] == '\0' || hit[length] == ' ';
        if (startsEntry && endsEntry) {
            return true;
        }
    }
    return false;
}

} // namespace zanth2d
