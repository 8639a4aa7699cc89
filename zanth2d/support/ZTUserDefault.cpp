#include "support/ZTUserDefault.h"

#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QDir>
#include <QFile>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include "platform/ZTCommon.h"
#include "platform/ZTFileUtils.h"

namespace zanth2d {

namespace {

constexpr const char* kRootName = "userDefaultRoot";
constexpr const char* kFileName = "UserDefault.xml";

const xmlChar* xmlText(const char* text)
{
    return reinterpret_cast<const xmlChar*>(text);
}

// printf "%f" in the C locale, whatever locale the application set: files stay readable everywhere.
std::string formatFixed(double value)
{
    char buf[400];
    auto result = std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::fixed, 6);
    return std::string(buf, result.ptr);
}

// atof in the C locale: leading blanks skipped, the longest number prefix read, 0 when there is none.
double parseDouble(const std::string& text)
{
    const char* first = text.c_str();
    const char* last = first + text.size();
    while (first < last && (*first == ' ' || (*first >= '\t' && *first <= '\r'))) {
        ++first;
    }
    if (first < last && *first == '+') {
        ++first;
    }
    double value = 0.0;
    auto result = std::from_chars(first, last, value);
    return result.ec == std::errc() ? value : 0.0;
}

// atoi without its undefined overflow: out-of-range values are clamped.
int parseInt(const std::string& text)
{
    long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

} // namespace

ZTUserDefault* ZTUserDefault::m_spUserDefault = nullptr;
std::string* ZTUserDefault::m_spFilePath = nullptr;
bool ZTUserDefault::m_sbIsFilePathInitialized = false;
_xmlDoc* ZTUserDefault::m_spDocument = nullptr;

ZTUserDefault::ZTUserDefault() = default;

ZTUserDefault::~ZTUserDefault()
{
    if (m_spDocument) {
        saveDocument();
        xmlFreeDoc(m_spDocument);
        m_spDocument = nullptr;
    }
    if (m_spUserDefault == this) {
        m_spUserDefault = nullptr;
    }
}

ZTUserDefault* ZTUserDefault::sharedUserDefault()
{
    initXMLFilePath();
    if (!isXMLFileExist() && !createXMLFile()) {
        return nullptr;
    }
    if (!m_spUserDefault) {
        m_spUserDefault = new ZTUserDefault();
        loadDocument();
    }
    return m_spUserDefault;
}

void ZTUserDefault::purgeSharedUserDefault()
{
    delete m_spUserDefault;
    m_spUserDefault = nullptr;
    delete m_spFilePath;
    m_spFilePath = nullptr;
    m_sbIsFilePathInitialized = false;
}

std::string ZTUserDefault::getXMLFilePath()
{
    initXMLFilePath();
    return *m_spFilePath;
}

void ZTUserDefault::initXMLFilePath()
{
    if (!m_sbIsFilePathInitialized) {
        m_spFilePath = new std::string(ZTFileUtils::getWriteablePath() + kFileName);
        m_sbIsFilePathInitialized = true;
    }
}

bool ZTUserDefault::isXMLFileExist()
{
    std::FILE* fp = std::fopen(m_spFilePath->c_str(), "r");
    if (!fp) {
        return false;
    }
    std::fclose(fp);
    return true;
}

bool ZTUserDefault::createXMLFile()
{
    // A fresh home may have no documents folder yet.
    QDir().mkpath(QFile::decodeName(ZTFileUtils::getWriteablePath().c_str()));
    xmlDocPtr doc = xmlNewDoc(xmlText("1.0"));
    if (!doc) {
        return false;
    }
    xmlDocSetRootElement(doc, xmlNewNode(nullptr, xmlText(kRootName)));
    const bool saved = xmlSaveFile(m_spFilePath->c_str(), doc) >= 0;
    xmlFreeDoc(doc);
    return saved;
}

void ZTUserDefault::loadDocument()
{
    // libxml2's own error printing is off: a broken file is one log line, and recovery keeps what it can.
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (ctxt) {
        m_spDocument =
            xmlCtxtReadFile(ctxt, m_spFilePath->c_str(), "utf-8",
                            XML_PARSE_RECOVER | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NONET);
    }
    const bool wellFormed = ctxt && ctxt->wellFormed;
    xmlFreeParserCtxt(ctxt);

    if (m_spDocument && xmlDocGetRootElement(m_spDocument)) {
        if (!wellFormed) {
            ZTLog("ZTUserDefault: WARNING: %s is malformed, only the values before the damage are kept\n",
                  m_spFilePath->c_str());
        }
        return;
    }
    ZTLog("ZTUserDefault: WARNING: %s could not be read, the defaults are used\n", m_spFilePath->c_str());
    // A fresh document, so that values set from now on are kept and the next flush repairs the file.
    if (m_spDocument) {
        xmlFreeDoc(m_spDocument);
    }
    m_spDocument = xmlNewDoc(xmlText("1.0"));
    xmlDocSetRootElement(m_spDocument, xmlNewNode(nullptr, xmlText(kRootName)));
}

void ZTUserDefault::saveDocument()
{
    if (xmlSaveFile(m_spFilePath->c_str(), m_spDocument) < 0) {
        ZTLog("ZTUserDefault: WARNING: could not write %s\n", m_spFilePath->c_str());
    }
}

void ZTUserDefault::flush()
{
    if (!m_spDocument) {
        return;
    }
    sharedUserDefault();
    saveDocument();
}

_xmlNode* ZTUserDefault::getXMLNodeForKey(const char* pKey) const
{
    xmlNodePtr root = m_spDocument ? xmlDocGetRootElement(m_spDocument) : nullptr;
    if (!pKey || !root) {
        return nullptr;
    }
    for (xmlNodePtr node = root->children; node; node = node->next) {
        if (node->type == XML_ELEMENT_NODE && xmlStrcmp(node->name, xmlText(pKey)) == 0) {
            return node;
        }
    }
    return nullptr;
}

bool ZTUserDefault::getValueForKey(const char* pKey, std::string& value) const
{
    xmlNodePtr node = getXMLNodeForKey(pKey);
    if (!node || !node->children) {
        return false;
    }
    xmlChar* content = xmlNodeGetContent(node);
    if (!content) {
        return false;
    }
    value.assign(reinterpret_cast<const char*>(content));
    xmlFree(content);
    return true;
}

void ZTUserDefault::setValueForKey(const char* pKey, const char* pValue)
{
    xmlNodePtr root = m_spDocument ? xmlDocGetRootElement(m_spDocument) : nullptr;
    if (!pKey || !root) {
        return;
    }
    // Any other key would make an element the file could never be read back from.
    if (xmlValidateNameValue(xmlText(pKey)) != 1) {
        ZTLog("ZTUserDefault: WARNING: \"%s\" is not a valid key, the value is not stored\n", pKey);
        return;
    }
    if (xmlNodePtr node = getXMLNodeForKey(pKey)) {
        // Added as plain text, so "&" and "<" in values are escaped when written.
        xmlNodeSetContent(node, nullptr);
        xmlNodeAddContent(node, xmlText(pValue));
    } else {
        xmlNewTextChild(root, nullptr, xmlText(pKey), xmlText(pValue));
    }
}

bool ZTUserDefault::getBoolForKey(const char* pKey, bool defaultValue)
{
    std::string value;
    return getValueForKey(pKey, value) ? value == "true" : defaultValue;
}

int ZTUserDefault::getIntegerForKey(const char* pKey, int defaultValue)
{
    std::string value;
    return getValueForKey(pKey, value) ? parseInt(value) : defaultValue;
}

float ZTUserDefault::getFloatForKey(const char* pKey, float defaultValue)
{
    std::string value;
    return getValueForKey(pKey, value) ? static_cast<float>(parseDouble(value)) : defaultValue;
}

double ZTUserDefault::getDoubleForKey(const char* pKey, double defaultValue)
{
    std::string value;
    return getValueForKey(pKey, value) ? parseDouble(value) : defaultValue;
}

std::string ZTUserDefault::getStringForKey(const char* pKey, const std::string& defaultValue)
{
    std::string value;
    return getValueForKey(pKey, value) ? value : defaultValue;
}

void ZTUserDefault::setBoolForKey(const char* pKey, bool value)
{
    setValueForKey(pKey, value ? "true" : "false");
}

void ZTUserDefault::setIntegerForKey(const char* pKey, int value)
{
    setValueForKey(pKey, std::to_string(value).c_str());
}

void ZTUserDefault::setFloatForKey(const char* pKey, float value)
{
    setValueForKey(pKey, formatFixed(value).c_str());
}

void ZTUserDefault::setDoubleForKey(const char* pKey, double value)
{
    setValueForKey(pKey, formatFixed(value).c_str());
}

void ZTUserDefault::setStringForKey(const char* pKey, const std::string& value)
{
    setValueForKey(pKey, value.c_str());
}

} // namespace zanth2d
