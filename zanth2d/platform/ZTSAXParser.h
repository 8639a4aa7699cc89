#pragma once

namespace zanth2d {

// Receives the events of one SAX pass. ctx is the ZTSAXParser that runs the pass.
class ZTSAXDelegator
{
public:
    virtual ~ZTSAXDelegator() = default;
    virtual void startElement(void* ctx, const char* name, const char** atts) = 0;
    virtual void endElement(void* ctx, const char* name) = 0;
    // The text of one element may arrive in several calls (entities, long runs, line ends).
    virtual void textHandler(void* ctx, const char* text, int len) = 0;
};

// A SAX pass over an XML file with libxml2 that forwards every element and text to its delegator.
class ZTSAXParser
{
public:
    // Always true: libxml2 reads UTF-8 by itself.
    bool init(const char* pszEncoding);
    // Reads the file through ZTFileUtils::getFileData. False when nothing was read or the XML is
    // malformed (the events before the error have been delivered, and one line is logged).
    bool parse(const char* pszFile);
    // The same over a buffer in memory; pszName only names it in the log.
    bool parse(const char* pXMLData, unsigned int uDataLength, const char* pszName);

    // Not owned.
    void setDelegator(ZTSAXDelegator* pDelegator) { m_pDelegator = pDelegator; }

    static void startElement(void* ctx, const unsigned char* name, const unsigned char** atts);
    static void endElement(void* ctx, const unsigned char* name);
    static void textHandler(void* ctx, const unsigned char* ch, int len);

private:
    ZTSAXDelegator* m_pDelegator = nullptr;
};

} // namespace zanth2d
