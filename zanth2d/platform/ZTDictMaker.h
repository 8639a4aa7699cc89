#pragma once

#include <stack>
#include <string>

#include "cocoa/ZTMutableArray.h"
#include "cocoa/ZTMutableDictionary.h"
#include "platform/ZTSAXParser.h"

namespace zanth2d {

// What the element being read is.
enum ZTSAXState
{
    SAX_NONE = 0,
    SAX_KEY,
    SAX_DICT,
    SAX_INT,
    SAX_REAL,
    SAX_STRING,
    SAX_ARRAY,
};

// Builds a tree of retaining containers from the SAX events of a property list: dict becomes a
// ZTMutableDictionary, array a ZTMutableArray, string/integer/real a ZTString of the text exactly as
// written, true/false "1"/"0"; other elements are ignored. The first dictionary is the result.
// Broken input (a value without a key, a duplicate key, a container outside any dictionary) is logged
// and dropped; the rest of the file is still read.
class ZTDictMaker : public ZTSAXDelegator
{
public:
    ZTDictMaker() = default;
    ~ZTDictMaker() override;
    ZTDictMaker(const ZTDictMaker&) = delete;
    ZTDictMaker& operator=(const ZTDictMaker&) = delete;

    // Parses the file and returns the root dictionary with one reference owned by the caller, or null.
    ZTMutableDictionary<std::string, ZTObject*>* dictionaryWithContentsOfFile(const char* pFileName);
    // The same over a buffer in memory.
    ZTMutableDictionary<std::string, ZTObject*>* dictionaryWithData(const char* pData, unsigned int uLength);
    // The same, but null (the partial tree dropped) unless the whole text parsed; log lines name the
    // data pszName.
    ZTMutableDictionary<std::string, ZTObject*>* dictionaryWithWellFormedData(const char* pData, unsigned int uLength,
                                                                              const char* pszName);

    void startElement(void* ctx, const char* name, const char** atts) override;
    void endElement(void* ctx, const char* name) override;
    void textHandler(void* ctx, const char* text, int len) override;

private:
    using Dictionary = ZTMutableDictionary<std::string, ZTObject*>;
    using Array = ZTMutableArray<ZTObject*>;

    // The state of the innermost open container; dict when none is open.
    ZTSAXState previousState() const;
    // Stores a value or container in the innermost open container; false when it was refused.
    bool storeInParent(ZTObject* pObject, const char* what);
    ZTMutableDictionary<std::string, ZTObject*>* takeResult(bool bParsed, const char* pszName);

    Dictionary* m_pRootDict = nullptr;
    Dictionary* m_pCurDict = nullptr;
    std::stack<Dictionary*> m_tDictStack; // each entry holds a reference until its end tag
    std::string m_sCurKey;
    bool m_bHasKey = false;
    ZTSAXState m_tState = SAX_NONE;
    Array* m_pArray = nullptr;
    std::stack<Array*> m_tArrayStack; // each entry holds a reference until its end tag
    std::stack<ZTSAXState> m_tStateStack;
    std::string m_sText; // text of the open key or value element, stored at its end tag
};

} // namespace zanth2d
