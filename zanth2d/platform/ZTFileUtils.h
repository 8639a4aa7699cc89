#pragma once

#include <atomic>
#include <string>

#include "cocoa/ZTMutableDictionary.h"

namespace zanth2d {

// File access of the scene graph. Every file read goes through getFileData, which looks on disk first
// (the application's Resources folder, then the path as given) and then in the compiled-in resource
// trees, so files beside the executable override the built-in ones.
class ZTFileUtils
{
public:
    // Not supported on this platform (programming error).
    static void setResourcePath(const char* pszResourcePath);
    static void setResource(const char* pszResource);

    // An absolute path (or a ":/" resource path) as it is; else the file in the application's
    // Resources folder ("<executable folder>/../Resources/<path>") when it exists there; else the path
    // itself, with "." and duplicate "/" removed. The text lives as long as the current autorelease pool.
    static const char* fullPathFromRelativePath(const char* pszRelativePath);
    // The folder of the resolved relativeFile (up to and including its last "/") followed by filename;
    // the text lives as long as the current autorelease pool.
    static const char* fullPathFromRelativeFile(const char* pszFilename, const char* pszRelativeFile);

    // The whole file in a new[] buffer the caller deletes with delete[]; *pSize = its length. Null (and
    // *pSize 0) when no place holds the file; then, with popup notify on, a notification is logged.
    static unsigned char* getFileData(const char* pszFileName, const char* pszMode, unsigned long* pSize);
    // One entry of a zip archive in a new[] buffer the caller deletes with delete[]; null on any failure.
    static unsigned char* getFileDataFromZip(const char* pszZipFilePath, const char* pszFileName,
                                             unsigned long* pSize);

    // The user's documents folder followed by "/".
    static std::string getWriteablePath();

    // Removes a "-hd" suffix from the file name part of path, only at content scale factor 2.
    static void ztRemoveHDSuffixFromFile(std::string& path);

    // The property list at pFileName (see ZTDictMaker); the root dictionary, or null when the file
    // holds none. The ThreadSafe form hands one reference to the caller, the other form autoreleases.
    static ZTMutableDictionary<std::string, ZTObject*>* dictionaryWithContentsOfFile(const char* pFileName);
    static ZTMutableDictionary<std::string, ZTObject*>*
    dictionaryWithContentsOfFileThreadSafe(const char* pFileName);

    // Whether a failed getFileData reports itself (on at start).
    static void setIsPopupNotify(bool bNotify);
    static bool getIsPopupNotify();

private:
    static std::atomic<bool> s_bPopupNotify; // read by the texture loader thread too
};

// The whole file read with malloc; returns its length, or -1 (and *out null) on failure. The caller frees.
int ztLoadFileIntoMemory(const char* filename, unsigned char** out);

} // namespace zanth2d
