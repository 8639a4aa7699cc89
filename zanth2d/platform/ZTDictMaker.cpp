#include "platform/ZTDictMaker.h"

#include <cstring>

#include "cocoa/ZTString.h"
#include "platform/ZTCommon.h"

namespace zanth2d {

ZTDictMaker::~ZTDictMaker()
{
    while (!m_tDictStack.empty()) {
        m_tDictStack.top()->release();
        m_tDictStack.pop();
    }
    while (!m_tArrayStack.empty()) {
        m_tArrayStack.top()->release();
        m_tArrayStack.pop();
    }
}

ZTMutableDictionary<std::string, ZTObject*>* ZTDictMaker::dictionaryWithContentsOfFile(const char* pFileName)
{
    ZTSAXParser parser;
    parser.init("UTF-8");
    parser.setDelegator(this);
    return takeResult(parser.parse(pFileName), pFileName);
}

ZTMutableDictionary<std::string, ZTObject*>* ZTDictMaker::dictionaryWithData(const char* pData,
                                                                             unsigned int uLength)
{
    ZTSAXParser parser;
    parser.init("UTF-8");
    parser.setDelegator(this);
    return takeResult(parser.parse(pData, uLength, "(data)"), "(data)");
}

ZTMutableDictionary<std::string, ZTObject*>*
ZTDictMaker::dictionaryWithWellFormedData(const char* pData, unsigned int uLength, const char* pszName)
{
    ZTSAXParser parser;
    parser.init("UTF-8");
    parser.setDelegator(this);
    const bool bParsed = parser.parse(pData, uLength, pszName);
    Dictionary* pRoot = takeResult(bParsed, pszName);
    if (!bParsed && pRoot) {
        pRoot->release();
        pRoot = nullptr;
    }
    return pRoot;
}

ZTMutableDictionary<std::string, ZTObject*>* ZTDictMaker::takeResult(bool bParsed, const char* pszName)
{
    if (bParsed && !m_pRootDict) {
        ZTLog("ZTDictMaker: WARNING: %s holds no dictionary\n", pszName);
    }
    Dictionary* pRoot = m_pRootDict;
    m_pRootDict = nullptr;
    m_pCurDict = nullptr;
    return pRoot;
}

ZTSAXState ZTDictMaker::previousState() const
{
    return m_tStateStack.empty() ? SAX_DICT : m_tStateStack.top();
}

bool ZTDictMaker::storeInParent(ZTObject* pObject, const char* what)
{
    if (previousState() == SAX_ARRAY) {
        m_pArray->addObject(pObject);
        return true;
    }
    if (!m_pCurDict) {
        return false; // before the first dictionary: reported once when no dictionary follows
    }
    if (!m_bHasKey) {
        ZTLog("ZTDictMaker: WARNING: %s without a key is ignored\n", what);
        return false;
    }
    m_bHasKey = false;
    if (!m_pCurDict->setObject(pObject, m_sCurKey)) {
        ZTLog("ZTDictMaker: WARNING: duplicate key \"%s\": the later %s is ignored\n", m_sCurKey.c_str(),
              what);
        return false;
    }
    return true;
}

void ZTDictMaker::startElement(void*, const char* name, const char**)
{
    if (std::strcmp(name, "dict") == 0) {
        auto* pDict = new Dictionary();
        if (!m_pRootDict) {
            m_pRootDict = pDict;
            pDict->retain();
        } else {
            storeInParent(pDict, "dictionary");
        }
        m_pCurDict = pDict;
        m_tState = SAX_DICT;
        m_tStateStack.push(SAX_DICT);
        m_tDictStack.push(pDict); // takes over the creation reference
    } else if (std::strcmp(name, "array") == 0) {
        auto* pArray = new Array();
        storeInParent(pArray, "array");
        m_pArray = pArray;
        m_tState = SAX_ARRAY;
        m_tStateStack.push(SAX_ARRAY);
        m_tArrayStack.push(pArray); // takes over the creation reference
    } else if (std::strcmp(name, "key") == 0) {
        m_tState = SAX_KEY;
        m_sText.clear();
    } else if (std::strcmp(name, "integer") == 0) {
        m_tState = SAX_INT;
        m_sText.clear();
    } else if (std::strcmp(name, "real") == 0) {
        m_tState = SAX_REAL;
        m_sText.clear();
    } else if (std::strcmp(name, "string") == 0) {
        m_tState = SAX_STRING;
        m_sText.clear();
    } else {
        m_tState = SAX_NONE;
    }
}

void ZTDictMaker::endElement(void*, const char* name)
{
    if (std::strcmp(name, "dict") == 0) {
        if (!m_tStateStack.empty()) {
            m_tStateStack.pop();
        }
        if (!m_tDictStack.empty()) {
            m_tDictStack.top()->release();
            m_tDictStack.pop();
        }
        // With every dictionary closed, later values still go to the root, which the result keeps alive.
        m_pCurDict = m_tDictStack.empty() ? m_pRootDict : m_tDictStack.top();
    } else if (std::strcmp(name, "array") == 0) {
        if (!m_tStateStack.empty()) {
            m_tStateStack.pop();
        }
        if (!m_tArrayStack.empty()) {
            m_tArrayStack.top()->release();
            m_tArrayStack.pop();
        }
        m_pArray = m_tArrayStack.empty() ? nullptr : m_tArrayStack.top();
    } else if (std::strcmp(name, "key") == 0 && m_tState == SAX_KEY) {
        m_sCurKey = m_sText;
        m_bHasKey = true;
    } else if ((std::strcmp(name, "string") == 0 && m_tState == SAX_STRING) ||
               (std::strcmp(name, "integer") == 0 && m_tState == SAX_INT) ||
               (std::strcmp(name, "real") == 0 && m_tState == SAX_REAL)) {
        auto* pValue = new ZTString(m_sText);
        storeInParent(pValue, name);
        pValue->release();
    } else if (std::strcmp(name, "true") == 0 || std::strcmp(name, "false") == 0) {
        auto* pValue = new ZTString(name[0] == 't' ? "1" : "0");
        storeInParent(pValue, name);
        pValue->release();
    }
    m_sText.clear();
    m_tState = SAX_NONE;
}

void ZTDictMaker::textHandler(void*, const char* text, int len)
{
    if (m_tState == SAX_KEY || m_tState == SAX_INT || m_tState == SAX_REAL || m_tState == SAX_STRING) {
        m_sText.append(text, static_cast<size_t>(len));
    }
}

} // namespace zanth2d
