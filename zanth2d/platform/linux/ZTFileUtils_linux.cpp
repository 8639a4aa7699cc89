#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <climits>
#include <cstdio>
#include <new>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "ZTMacros.h"
#include "cocoa/ZTString.h"
#include "platform/ZTCommon.h"
#include "platform/ZTFileUtils.h"

namespace zanth2d {

namespace {

// Files larger than this are not read whole into memory.
const unsigned long kMaxFileSize = 1024ul * 1024 * 1024;

bool isAbsolute(const std::string& path)
{
    return (!path.empty() && path[0] == '/') || path.rfind(":/", 0) == 0;
}

// The folder of the running executable; the Resources folder sits beside it ("%1/../Resources/%2").
const std::string& executableFolder()
{
    static const std::string folder = [] {
        char buffer[PATH_MAX];
        ssize_t len = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
        if (len <= 0) {
            return std::string(".");
        }
        std::string exe(buffer, static_cast<size_t>(len));
        std::string::size_type slash = exe.rfind('/');
        return slash == std::string::npos ? std::string(".") : exe.substr(0, slash);
    }();
    return folder;
}

std::string resourcesPath(const std::string& relative)
{
    return executableFolder() + "/../Resources/" + relative;
}

bool isRegularFile(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

unsigned char* readDiskFile(const std::string& path, const char* pszMode, unsigned long* pSize)
{
    if (!isRegularFile(path)) {
        return nullptr;
    }
    FILE* fp = std::fopen(path.c_str(), pszMode);
    if (!fp) {
        return nullptr;
    }
    unsigned char* pBuffer = nullptr;
    if (std::fseek(fp, 0, SEEK_END) == 0) {
        long length = std::ftell(fp);
        if (length >= 0 && static_cast<unsigned long>(length) <= kMaxFileSize &&
            std::fseek(fp, 0, SEEK_SET) == 0) {
            pBuffer = new (std::nothrow) unsigned char[length == 0 ? 1 : static_cast<size_t>(length)];
            if (pBuffer) {
                *pSize = std::fread(pBuffer, 1, static_cast<size_t>(length), fp);
            }
        }
    }
    std::fclose(fp);
    return pBuffer;
}

unsigned char* readResourceFile(const QString& path, unsigned long* pSize)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || static_cast<unsigned long>(file.size()) > kMaxFileSize) {
        return nullptr;
    }
    QByteArray bytes = file.readAll();
    auto* pBuffer = new (std::nothrow) unsigned char[bytes.isEmpty() ? 1 : static_cast<size_t>(bytes.size())];
    if (pBuffer) {
        std::copy(bytes.constBegin(), bytes.constEnd(), pBuffer);
        *pSize = static_cast<unsigned long>(bytes.size());
    }
    return pBuffer;
}

} // namespace

void ZTFileUtils::setResourcePath(const char*)
{
    ZTAssert(0, "0");
}

void ZTFileUtils::setResource(const char*)
{
    ZTAssert(0, "0");
}

const char* ZTFileUtils::fullPathFromRelativePath(const char* pszRelativePath)
{
    std::string path = pszRelativePath ? pszRelativePath : "";
    if (!path.empty() && !isAbsolute(path)) {
        std::string bundled = resourcesPath(path);
        if (isRegularFile(bundled)) {
            path = QDir::cleanPath(QString::fromStdString(bundled)).toStdString();
        } else {
            path = QDir::cleanPath(QString::fromStdString(path)).toStdString();
        }
    }
    return ZTString::stringWithString(path)->getCString();
}

const char* ZTFileUtils::fullPathFromRelativeFile(const char* pszFilename, const char* pszRelativeFile)
{
    std::string relativeFile = fullPathFromRelativePath(pszRelativeFile);
    std::string::size_type slash = relativeFile.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : relativeFile.substr(0, slash + 1);
    return ZTString::stringWithString(folder + (pszFilename ? pszFilename : ""))->getCString();
}

unsigned char* ZTFileUtils::getFileData(const char* pszFileName, const char* pszMode, unsigned long* pSize)
{
    unsigned long uSize = 0;
    unsigned char* pBuffer = nullptr;
    std::string path = pszFileName ? pszFileName : "";
    if (!path.empty() && pszMode) {
        bool bResourcePath = path.rfind(":/", 0) == 0;
        if (!isAbsolute(path)) {
            pBuffer = readDiskFile(resourcesPath(path), pszMode, &uSize);
        }
        if (!pBuffer && !bResourcePath) {
            pBuffer = readDiskFile(path, pszMode, &uSize);
        }
        if (!pBuffer && bResourcePath) {
            pBuffer = readResourceFile(QString::fromStdString(path), &uSize);
        } else if (!pBuffer && !isAbsolute(path)) {
            pBuffer = readResourceFile(QStringLiteral(":/") + QString::fromStdString(path), &uSize);
        }
    }
    if (pSize) {
        *pSize = pBuffer ? uSize : 0;
    }
    if (!pBuffer && s_bPopupNotify) {
        std::string message = "Get data from file(" + path + ") failed!\n";
        ZTMessageBox(message.c_str(), "Notification");
    }
    return pBuffer;
}

int ztLoadFileIntoMemory(const char* filename, unsigned char** out)
{
    ZTAssert(out, "out");
    *out = nullptr;
    unsigned long uSize = 0;
    unsigned char* pData = ZTFileUtils::getFileData(filename, "rb", &uSize);
    if (!pData || uSize > static_cast<unsigned long>(INT_MAX)) {
        delete[] pData;
        return -1;
    }
    *out = static_cast<unsigned char*>(std::malloc(uSize == 0 ? 1 : uSize));
    if (*out) {
        std::copy(pData, pData + uSize, *out);
    }
    delete[] pData;
    return *out ? static_cast<int>(uSize) : -1;
}

std::string ZTFileUtils::getWriteablePath()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.toStdString() + "/";
}

} // namespace zanth2d
