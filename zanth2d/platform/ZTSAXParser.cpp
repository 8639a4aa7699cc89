#include "platform/ZTSAXParser.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <libxml/parser.h>
#include <libxml/xmlmemory.h>

#include "platform/ZTCommon.h"
#include "platform/ZTFileData.h"

namespace zanth2d {

namespace {

// libxml2 reports one error in several pieces and may go on reporting after the first; only the
// first message is kept so that a broken file costs one log line.
struct ParseErrors
{
    char first[512] = {0};
    bool seen = false;
};

thread_local ParseErrors* t_pErrors = nullptr;

void collectError(void*, const char* format, ...)
{
    if (!t_pErrors || t_pErrors->seen) {
        return;
    }
    va_list args;
    va_start(args, format);
    std::vsnprintf(t_pErrors->first, sizeof(t_pErrors->first), format, args);
    va_end(args);
    t_pErrors->seen = true;
    size_t len = std::strlen(t_pErrors->first);
    while (len > 0 && (t_pErrors->first[len - 1] == '\n' || t_pErrors->first[len - 1] == ' ')) {
        t_pErrors->first[--len] = '\0';
    }
}

void ignoreWarning(void*, const char*, ...) {}

} // namespace

bool ZTSAXParser::init(const char*)
{
    return true;
}

bool ZTSAXParser::parse(const char* pszFile)
{
    ZTFileData data(pszFile, "rt");
    if (!data.getBuffer() || data.getSize() == 0) {
        return false;
    }
    if (data.getSize() > static_cast<unsigned long>(INT_MAX)) {
        ZTLog("ZTSAXParser: WARNING: %s is too large to parse\n", pszFile);
        return false;
    }
    return parse(reinterpret_cast<const char*>(data.getBuffer()), static_cast<unsigned int>(data.getSize()),
                 pszFile);
}

bool ZTSAXParser::parse(const char* pXMLData, unsigned int uDataLength, const char* pszName)
{
    if (!pXMLData || uDataLength == 0 || uDataLength > static_cast<unsigned int>(INT_MAX)) {
        return false;
    }
    xmlCheckVersion(20708);

    xmlSAXHandler handler;
    std::memset(&handler, 0, sizeof(handler));
    handler.initialized = 1;
    handler.startElement = &ZTSAXParser::startElement;
    handler.endElement = &ZTSAXParser::endElement;
    handler.characters = &ZTSAXParser::textHandler;
    handler.error = &collectError;
    handler.fatalError = &collectError;
    handler.warning = &ignoreWarning;

    ParseErrors errors;
    t_pErrors = &errors;
    int result = xmlSAXUserParseMemory(&handler, this, pXMLData, static_cast<int>(uDataLength));
    t_pErrors = nullptr;
    if (result != 0) {
        ZTLog("ZTSAXParser: WARNING: %s is not a well-formed XML file: %s\n", pszName ? pszName : "(data)",
              errors.seen ? errors.first : "parse error");
        return false;
    }
    xmlCleanupParser();
    xmlMemoryDump();
    return true;
}

void ZTSAXParser::startElement(void* ctx, const unsigned char* name, const unsigned char** atts)
{
    auto* pParser = static_cast<ZTSAXParser*>(ctx);
    pParser->m_pDelegator->startElement(pParser, reinterpret_cast<const char*>(name),
                                        reinterpret_cast<const char**>(atts));
}

void ZTSAXParser::endElement(void* ctx, const unsigned char* name)
{
    auto* pParser = static_cast<ZTSAXParser*>(ctx);
    pParser->m_pDelegator->endElement(pParser, reinterpret_cast<const char*>(name));
}

void ZTSAXParser::textHandler(void* ctx, const unsigned char* ch, int len)
{
    auto* pParser = static_cast<ZTSAXParser*>(ctx);
    pParser->m_pDelegator->textHandler(pParser, reinterpret_cast<const char*>(ch), len);
}

} // namespace zanth2d
