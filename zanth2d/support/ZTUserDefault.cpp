#include "support/ZTUserDefault.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include "platform/ZTCommon.h"
#include "platform/ZTFileUtils.h"

namespace zanth2d {

namespace {

constexpr const char* kRootName = "userDefaultRoot";
constexpr const char* kFileName = "UserDefault.xml";
constexpr const char* kDamagedSuffix = ".damaged";
// Damaged files kept beside the store, the newest ones: "UserDefault.xml.damaged" is the first, then
// "UserDefault.xml.damaged.2", ".3" and so on.
constexpr size_t kDamagedCopiesKept = 5;

const xmlChar* xmlText(const char* text)
{
    return reinterpret_cast<const xmlChar*>(text);
}

xmlDocPtr newDocument()
{
    xmlDocPtr doc = xmlNewDoc(xmlText("1.0"));
    if (doc) {
        xmlDocSetRootElement(doc, xmlNewNode(nullptr, xmlText(kRootName)));
    }
    return doc;
}

// Well-formed UTF-8 made only of characters an XML document may hold: libxml2 takes any bytes into a
// tree, writes them out as they are (names) or drops them with a message (texts), and either way the
// file then breaks at that element and loses every key after it.
bool isStorableText(const xmlChar* text)
{
    if (!text || xmlCheckUTF8(text) == 0) {
        return false;
    }
    for (const xmlChar* at = text; *at;) {
        int length = 4;
        const int code = xmlGetUTF8Char(at, &length);
        const bool allowed = code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
                             (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
        if (!allowed || length <= 0) {
            return false;
        }
        at += length;
    }
    return true;
}

bool isStorableKey(const xmlChar* key)
{
    return isStorableText(key) && xmlValidateNameValue(key) == 1;
}

// Only the keys and texts of a read document move into a fresh one: anything else a file holds (the
// remains of damage, a document type, an encoding) would otherwise reach every write of it.
xmlDocPtr rebuiltDocument(xmlDocPtr recovered)
{
    xmlDocPtr doc = newDocument();
    if (!doc) {
        return nullptr;
    }
    xmlNodePtr root = xmlDocGetRootElement(doc);
    for (xmlNodePtr node = xmlDocGetRootElement(recovered)->children; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE || !isStorableKey(node->name)) {
            continue;
        }
        // An element without content stays empty, so that its key still gives the caller's default.
        xmlChar* content = node->children ? xmlNodeGetContent(node) : nullptr;
        if (!content || isStorableText(content)) {
            xmlNewTextChild(root, nullptr, node->name, content);
        }
        xmlFree(content);
    }
    return doc;
}

// The whole file, or false with errno set.
bool readWholeFile(const char* path, std::vector<char>& bytes)
{
    std::FILE* fp = std::fopen(path, "rb");
    if (!fp) {
        return false;
    }
    char buffer[16384];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof(buffer), fp)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    const bool ok = !std::ferror(fp);
    const int error = errno;
    std::fclose(fp);
    errno = error;
    return ok;
}

// Written beside the file and renamed over it: a failed write leaves the previous file as it was.
bool writeBytes(const std::string& path, const char* data, qint64 size)
{
    QSaveFile out(QFile::decodeName(path.c_str()));
    return out.open(QIODevice::WriteOnly) && out.write(data, size) == size && out.commit();
}

bool writeBytes(const std::string& path, const std::vector<char>& bytes)
{
    return writeBytes(path, bytes.data(), static_cast<qint64>(bytes.size()));
}

bool writeDocument(const std::string& path, xmlDocPtr doc)
{
    xmlChar* text = nullptr;
    int size = 0;
    xmlDocDumpMemory(doc, &text, &size);
    if (!text) {
        return false;
    }
    const bool saved = writeBytes(path, reinterpret_cast<const char*>(text), size);
    xmlFree(text);
    return saved;
}

// The numbers of the damaged copies beside path, the unnumbered first copy as 1, in ascending order.
// Only the names this store writes count ("<file>.damaged", "<file>.damaged.<n>" with n from 2 without
// leading zeros, at most 18 digits): any other file beside it is neither counted nor removed.
std::vector<long long> damagedCopyNumbers(const std::string& path)
{
    const QFileInfo file(QFile::decodeName(path.c_str()));
    const QString prefix = file.fileName() + QLatin1String(kDamagedSuffix);
    std::vector<long long> numbers;
    const QStringList names = file.dir().entryList({prefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        if (name == prefix) {
            numbers.push_back(1);
            continue;
        }
        const QString digits = name.mid(prefix.size() + 1);
        if (name.at(prefix.size()) != QLatin1Char('.') || digits.isEmpty() || digits.size() > 18 ||
            digits.at(0) == QLatin1Char('0')) {
            continue;
        }
        if (std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= '0' && c <= '9'; })) {
            const long long number = digits.toLongLong();
            if (number > 1) {
                numbers.push_back(number);
            }
        }
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::string damagedCopyPath(const std::string& path, long long number)
{
    return path + kDamagedSuffix + (number == 1 ? std::string() : "." + std::to_string(number));
}

// Nothing at all is there, not even a folder or a dangling link: a copy may be written.
bool isFreePath(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) != 0 && errno == ENOENT;
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
bool ZTUserDefault::m_sbFileUnreadable = false;

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
    m_sbFileUnreadable = false;
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
    // Only a file that is not there is missing: one that can't be opened now (no permission, no free
    // descriptor) still holds the user's values and must not be replaced by an empty one.
    struct stat info;
    return ::stat(m_spFilePath->c_str(), &info) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

bool ZTUserDefault::createXMLFile()
{
    // A fresh home may have no documents folder yet.
    QDir().mkpath(QFile::decodeName(ZTFileUtils::getWriteablePath().c_str()));
    xmlDocPtr doc = newDocument();
    if (!doc) {
        return false;
    }
    const bool saved = writeDocument(*m_spFilePath, doc);
    xmlFreeDoc(doc);
    return saved;
}

void ZTUserDefault::loadDocument()
{
    std::vector<char> bytes;
    if (!readWholeFile(m_spFilePath->c_str(), bytes)) {
        ZTLog("ZTUserDefault: WARNING: %s can't be read (%s), it is left untouched\n", m_spFilePath->c_str(),
              std::strerror(errno));
        m_sbFileUnreadable = true;
        m_spDocument = newDocument();
        return;
    }
    // libxml2's own error printing is off: a broken file is one log line, and recovery keeps what it can.
    // The store only ever writes UTF-8, so an encoding declaration (a wrong or unknown one would make
    // libxml2 give up on the whole file) is not followed.
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (ctxt) {
        m_spDocument = xmlCtxtReadMemory(ctxt, bytes.data(), static_cast<int>(bytes.size()),
                                         m_spFilePath->c_str(), "utf-8",
                                         XML_PARSE_RECOVER | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                                             XML_PARSE_NONET | XML_PARSE_IGNORE_ENC);
    }
    const bool wellFormed = ctxt && ctxt->wellFormed;
    xmlFreeParserCtxt(ctxt);

    xmlDocPtr parsed = m_spDocument;
    const xmlNodePtr root = parsed ? xmlDocGetRootElement(parsed) : nullptr;
    if (!wellFormed || !root || xmlStrcmp(root->name, xmlText(kRootName)) != 0) {
        keepDamagedFile(bytes, root ? "only the values before the damage are kept" : "the defaults are used");
    }
    // Even a sound file is taken apart into keys and texts, so that nothing else in it (a document type,
    // entities, an encoding) reaches the file this store writes.
    m_spDocument = root ? rebuiltDocument(parsed) : newDocument();
    if (parsed) {
        xmlFreeDoc(parsed);
    }
}

void ZTUserDefault::keepDamagedFile(const std::vector<char>& bytes, const char* outcome)
{
    // Values the recovery could not reach may still be in the damaged file: it goes beside the new one,
    // under a name of its own, so that an earlier damaged copy is never written over.
    if (bytes.empty()) {
        ZTLog("ZTUserDefault: WARNING: %s is empty, the defaults are used\n", m_spFilePath->c_str());
        return;
    }
    const std::vector<long long> numbers = damagedCopyNumbers(*m_spFilePath);
    // The same damage met again (the file was not written since) is kept already: another copy of it
    // would only push an older, different one out.
    if (!numbers.empty()) {
        const std::string newest = damagedCopyPath(*m_spFilePath, numbers.back());
        std::vector<char> kept;
        if (readWholeFile(newest.c_str(), kept) && kept == bytes) {
            ZTLog("ZTUserDefault: WARNING: %s is damaged, it is kept already as %s and %s\n",
                  m_spFilePath->c_str(), newest.c_str(), outcome);
            return;
        }
    }
    // Never over anything already there, whatever its name or kind.
    long long number = numbers.empty() ? 1 : numbers.back() + 1;
    while (!isFreePath(damagedCopyPath(*m_spFilePath, number))) {
        ++number;
    }
    const std::string kept = damagedCopyPath(*m_spFilePath, number);
    if (!writeBytes(kept, bytes)) {
        ZTLog("ZTUserDefault: WARNING: %s is damaged and can't be kept as %s, it is left untouched and %s\n",
              m_spFilePath->c_str(), kept.c_str(), outcome);
        m_sbFileUnreadable = true;
        return;
    }
    ZTLog("ZTUserDefault: WARNING: %s is damaged, it is kept as %s and %s\n", m_spFilePath->c_str(),
          kept.c_str(), outcome);
    // Only once the new copy is written does the oldest go.
    for (size_t i = 0; i + kDamagedCopiesKept <= numbers.size(); ++i) {
        const std::string oldest = damagedCopyPath(*m_spFilePath, numbers[i]);
        if (std::remove(oldest.c_str()) == 0) {
            ZTLog("ZTUserDefault: WARNING: %zu damaged copies are kept, the oldest, %s, was removed\n",
                  kDamagedCopiesKept, oldest.c_str());
        }
    }
}

void ZTUserDefault::saveDocument()
{
    if (m_sbFileUnreadable) {
        return;
    }
    if (!writeDocument(*m_spFilePath, m_spDocument)) {
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
    if (!isStorableKey(xmlText(pKey))) {
        ZTLog("ZTUserDefault: WARNING: \"%s\" is not a valid key, the value is not stored\n", pKey);
        return;
    }
    if (!isStorableText(xmlText(pValue))) {
        ZTLog("ZTUserDefault: WARNING: the value of \"%s\" is not valid UTF-8 text, it is not stored\n",
              pKey);
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
