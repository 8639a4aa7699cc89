#include "platform/ZTFileUtils.h"

#include <cstring>
#include <new>
#include <unzip.h>

#include "ZTMacros.h"
#include "platform/ZTCommon.h"
#include "platform/ZTContentScale.h"
#include "platform/ZTDictMaker.h"

namespace zanth2d {

std::atomic<bool> ZTFileUtils::s_bPopupNotify{true};

ZTMutableDictionary<std::string, ZTObject*>*
ZTFileUtils::dictionaryWithContentsOfFileThreadSafe(const char* pFileName)
{
    ZTDictMaker maker;
    return maker.dictionaryWithContentsOfFile(pFileName);
}

ZTMutableDictionary<std::string, ZTObject*>* ZTFileUtils::dictionaryWithContentsOfFile(const char* pFileName)
{
    auto* pDict = dictionaryWithContentsOfFileThreadSafe(pFileName);
    if (pDict) {
        pDict->autorelease();
    }
    return pDict;
}

void ZTFileUtils::ztRemoveHDSuffixFromFile(std::string& path)
{
    if (ztContentScaleFactor() != 2.0f) {
        return;
    }
    static const char kSuffix[] = "-hd";
    std::string::size_type slash = path.rfind('/');
    std::string::size_type suffix = path.rfind(kSuffix);
    std::string::size_type first = (slash == std::string::npos) ? 0 : slash + 1;
    if (suffix != std::string::npos && suffix > first) {
        ZTLog("zanth2d: FilePath(%s) contains suffix(%s), remove it.\n", path.c_str(), kSuffix);
        path.erase(suffix, std::strlen(kSuffix));
    }
}

void ZTFileUtils::setIsPopupNotify(bool bNotify)
{
    s_bPopupNotify = bNotify;
}

bool ZTFileUtils::getIsPopupNotify()
{
    return s_bPopupNotify;
}

unsigned char* ZTFileUtils::getFileDataFromZip(const char* pszZipFilePath, const char* pszFileName,
                                               unsigned long* pSize)
{
    if (pSize) {
        *pSize = 0;
    }
    if (!pszZipFilePath || !pszFileName || !pSize || std::strlen(pszZipFilePath) == 0) {
        return nullptr;
    }
    unzFile pFile = unzOpen(pszZipFilePath);
    if (!pFile) {
        return nullptr;
    }
    unsigned char* pBuffer = nullptr;
    do {
        if (unzLocateFile(pFile, pszFileName, 1) != UNZ_OK) {
            break;
        }
        char szFilePathA[260];
        unz_file_info fileInfo;
        if (unzGetCurrentFileInfo(pFile, &fileInfo, szFilePathA, sizeof(szFilePathA), nullptr, 0, nullptr,
                                  0) != UNZ_OK) {
            break;
        }
        if (unzOpenCurrentFile(pFile) != UNZ_OK) {
            break;
        }
        // The stored size may lie; a damaged entry must not read past the buffer or ask for gigabytes.
        static const unsigned long kMaxEntrySize = 256ul * 1024 * 1024;
        if (fileInfo.uncompressed_size > kMaxEntrySize) {
            ZTLog("ZTFileUtils: WARNING: %s in %s is too large\n", pszFileName, pszZipFilePath);
            unzCloseCurrentFile(pFile);
            break;
        }
        unsigned long uSize = fileInfo.uncompressed_size;
        pBuffer = new (std::nothrow) unsigned char[uSize == 0 ? 1 : uSize];
        int nSize = pBuffer ? unzReadCurrentFile(pFile, pBuffer, static_cast<unsigned>(uSize)) : -1;
        bool bCrcOk = unzCloseCurrentFile(pFile) == UNZ_OK;
        if (nSize < 0 || static_cast<unsigned long>(nSize) != uSize || !bCrcOk) {
            ZTLog("ZTFileUtils: WARNING: %s in %s could not be read\n", pszFileName, pszZipFilePath);
            delete[] pBuffer;
            pBuffer = nullptr;
            break;
        }
        *pSize = uSize;
    } while (false);
    unzClose(pFile);
    return pBuffer;
}

} // namespace zanth2d
