#pragma once

#include "platform/ZTFileUtils.h"

namespace zanth2d {

// Holds the buffer of one getFileData read and frees it when it goes out of scope.
class ZTFileData
{
public:
    ZTFileData(const char* pszFileName, const char* pszMode)
        : m_pBuffer(ZTFileUtils::getFileData(pszFileName, pszMode, &m_uSize))
    {
    }
    ~ZTFileData() { delete[] m_pBuffer; }
    ZTFileData(const ZTFileData&) = delete;
    ZTFileData& operator=(const ZTFileData&) = delete;

    unsigned char* getBuffer() const { return m_pBuffer; }
    unsigned long getSize() const { return m_uSize; }

private:
    unsigned long m_uSize = 0;
    unsigned char* m_pBuffer;
};

} // namespace zanth2d
