#pragma once

#include <string>
#include <vector>

struct _xmlDoc;
struct _xmlNode;

namespace zanth2d {

// Key-value store in "UserDefault.xml" under the writeable folder: one child element of
// "userDefaultRoot" per key, its text the value. Setters change the document in memory; flush() or
// purgeSharedUserDefault() writes it, replacing the file in one step. Keys must be valid XML element names
// and values valid UTF-8 text. A damaged file is kept beside, the first as "UserDefault.xml.damaged",
// later ones as "UserDefault.xml.damaged.2", ".3" and so on, never over anything already there; the five
// newest copies are kept, and the same damage met again is not copied twice.
class ZTUserDefault
{
public:
    ~ZTUserDefault();

    // The shared store, created on first use; null when the file can neither be found nor created.
    static ZTUserDefault* sharedUserDefault();
    // Writes the document, frees it and the shared store; the next sharedUserDefault() reloads the file.
    static void purgeSharedUserDefault();
    static std::string getXMLFilePath();

    // The getters answer the default for a null or missing key and for an element without text.
    bool getBoolForKey(const char* pKey, bool defaultValue = false);
    int getIntegerForKey(const char* pKey, int defaultValue = 0);
    float getFloatForKey(const char* pKey, float defaultValue = 0.0f);
    double getDoubleForKey(const char* pKey, double defaultValue = 0.0);
    std::string getStringForKey(const char* pKey, const std::string& defaultValue = "");

    void setBoolForKey(const char* pKey, bool value);
    void setIntegerForKey(const char* pKey, int value);
    void setFloatForKey(const char* pKey, float value);
    void setDoubleForKey(const char* pKey, double value);
    void setStringForKey(const char* pKey, const std::string& value);

    // Writes the document to the file, re-creating a file that was removed meanwhile.
    void flush();

private:
    ZTUserDefault();

    static bool isXMLFileExist();
    static void initXMLFilePath();
    static bool createXMLFile();
    static void loadDocument();
    static void saveDocument();
    // Copies a file that is not this store's own well-formed document to a damaged copy of its own with one
    // warning (and one more for an oldest copy removed); when that fails the file is never written.
    static void keepDamagedFile(const std::vector<char>& bytes, const char* outcome);

    // False when the caller's default applies.
    bool getValueForKey(const char* pKey, std::string& value) const;
    void setValueForKey(const char* pKey, const char* pValue);
    _xmlNode* getXMLNodeForKey(const char* pKey) const;

    static ZTUserDefault* m_spUserDefault;
    static std::string* m_spFilePath;
    static bool m_sbIsFilePathInitialized;
    static _xmlDoc* m_spDocument;
    // The file could not be read, or is damaged and could not be kept beside: it is never written, so the
    // values in it are not lost.
    static bool m_sbFileUnreadable;
};

} // namespace zanth2d
