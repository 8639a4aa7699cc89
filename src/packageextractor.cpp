#include "packageextractor.h"

#include "zanthfileutils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <unzip.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

// The name buffer of one entry: longer names are refused rather than cut.
constexpr uLong kNameBufferSize = 512;
constexpr int kCopyBufferSize = 8192;

struct ArchiveCloser
{
    void operator()(void* archive) const { unzClose(archive); }
};

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// mkdir -p over the archive's name bytes as they stand.
bool makePath(const QByteArray& path)
{
    for (qsizetype at = path.indexOf('/', 1); ; at = path.indexOf('/', at + 1)) {
        const QByteArray part = at < 0 ? path : path.left(at);
        if (!part.isEmpty() && ::mkdir(part.constData(), 0755) != 0 && errno != EEXIST)
            return false;
        if (at < 0)
            break;
    }
    struct stat info;
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

PackageExtractor::PackageExtractor(const QString& zipPath, const QString& packagePath,
                                   std::shared_ptr<const std::atomic_bool> cancelled, qint64 sizeLimit)
    : m_zipPath(zipPath), m_packagePath(packagePath), m_temporaryPath(temporaryFolderPath(packagePath)),
      m_cancelled(std::move(cancelled)), m_sizeLimit(sizeLimit)
{
}

QString PackageExtractor::temporaryFolderPath(const QString& packagePath)
{
    const QFileInfo package(packagePath);
    return package.path() + QStringLiteral("/.") + package.fileName() + QStringLiteral(".extracting");
}

bool PackageExtractor::isSafeEntryName(const QByteArray& name)
{
    if (name.isEmpty() || name.contains('\0') || name.startsWith('/') || name.startsWith('\\'))
        return false;
    if (name.size() >= 2 && name.at(1) == ':')
        return false;
    QByteArray normalised = name;
    normalised.replace('\\', '/');
    const QList<QByteArray> parts = normalised.split('/');
    for (const QByteArray& part : parts) {
        if (part == "..")
            return false;
    }
    return true;
}

bool PackageExtractor::extract(const ProgressFunction& progress)
{
    if (!ZanthFileUtils::removeDir(m_temporaryPath) || !QDir().mkpath(m_temporaryPath))
        return fail(QStringLiteral("the folder %1 could not be made").arg(m_temporaryPath));
    std::unique_ptr<void, ArchiveCloser> archive(unzOpen64(QFile::encodeName(m_zipPath).constData()));
    if (!archive)
        return fail(QStringLiteral("the archive could not be opened"));
    if (!extractEntries(archive.get(), progress))
        return false;
    archive.reset();
    if (isCancelled())
        return fail(QStringLiteral("cancelled"));
    if (!ZanthFileUtils::removeDir(m_packagePath) || !QDir().rename(m_temporaryPath, m_packagePath))
        return fail(QStringLiteral("the package folder %1 could not be put in place").arg(m_packagePath));
    return true;
}

bool PackageExtractor::extractEntries(void* archive, const ProgressFunction& progress)
{
    unz_global_info64 global;
    if (unzGetGlobalInfo64(archive, &global) != UNZ_OK)
        return fail(QStringLiteral("the archive could not be read"));
    if (!checkDeclaredSize(archive, global.number_entry))
        return false;
    const QByteArray root = QFile::encodeName(m_temporaryPath) + '/';
    progress(0);
    int lastPercent = -1;
    for (ZPOS64_T i = 0; i < global.number_entry; ++i) {
        if (isCancelled())
            return fail(QStringLiteral("cancelled"));
        unz_file_info64 info;
        char name[kNameBufferSize];
        if (unzGetCurrentFileInfo64(archive, &info, name, kNameBufferSize, nullptr, 0, nullptr, 0) != UNZ_OK)
            return fail(QStringLiteral("entry %1 could not be read").arg(i));
        if (info.size_filename >= kNameBufferSize)
            return fail(QStringLiteral("entry %1 has a name of %2 bytes").arg(i).arg(info.size_filename));
        const QByteArray entryName(name, qsizetype(info.size_filename));
        if (!isSafeEntryName(entryName))
            return fail(QStringLiteral("entry %1 has the unsafe name \"%2\"").arg(i).arg(QString::fromUtf8(entryName)));
        const QByteArray path = root + entryName;
        if (entryName.endsWith('/')) {
            if (!makePath(path))
                return fail(QStringLiteral("the folder of entry \"%1\" could not be made").arg(QString::fromUtf8(entryName)));
        } else if (!extractFile(archive, entryName, path)) {
            return false;
        }
        if (i + 1 < global.number_entry && unzGoToNextFile(archive) != UNZ_OK)
            return fail(QStringLiteral("entry %1 could not be reached").arg(i + 1));
        const int percent = int(double(i) / double(global.number_entry) * 100.0);
        if (percent != lastPercent) {
            progress(percent);
            lastPercent = percent;
        }
    }
    return true;
}

bool PackageExtractor::checkDeclaredSize(void* archive, quint64 entries)
{
    // The central directory says what the entries inflate to, so a bomb is refused before any byte is
    // written; minizip never inflates an entry past its declared size (a longer one fails its checksum).
    quint64 total = 0;
    for (quint64 i = 0; i < entries; ++i) {
        unz_file_info64 info;
        if (unzGetCurrentFileInfo64(archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
            return fail(QStringLiteral("entry %1 could not be read").arg(i));
        if (info.uncompressed_size > quint64(m_sizeLimit) - total)
            return fail(
                QStringLiteral("its entries inflate to more than the limit of %1 bytes (extractionSizeLimit)")
                    .arg(m_sizeLimit));
        total += info.uncompressed_size;
        if (i + 1 < entries && unzGoToNextFile(archive) != UNZ_OK)
            return fail(QStringLiteral("entry %1 could not be reached").arg(i + 1));
    }
    if (unzGoToFirstFile(archive) != UNZ_OK)
        return fail(QStringLiteral("the archive could not be read"));
    return true;
}

bool PackageExtractor::extractFile(void* archive, const QByteArray& name, const QByteArray& path)
{
    const QString shownName = QString::fromUtf8(name);
    if (unzOpenCurrentFile(archive) != UNZ_OK)
        return fail(QStringLiteral("entry \"%1\" could not be opened").arg(shownName));
    const qsizetype slash = path.lastIndexOf('/');
    if (!makePath(path.left(slash))) {
        unzCloseCurrentFile(archive);
        return fail(QStringLiteral("the folder of entry \"%1\" could not be made").arg(shownName));
    }
    std::unique_ptr<std::FILE, FileCloser> out(std::fopen(path.constData(), "wb"));
    if (!out) {
        unzCloseCurrentFile(archive);
        return fail(QStringLiteral("the file of entry \"%1\" could not be made: %2").arg(shownName, QString::fromLocal8Bit(std::strerror(errno))));
    }
    char buffer[kCopyBufferSize];
    int read = 0;
    while ((read = unzReadCurrentFile(archive, buffer, kCopyBufferSize)) > 0) {
        if (std::fwrite(buffer, 1, size_t(read), out.get()) != size_t(read)) {
            unzCloseCurrentFile(archive);
            return fail(QStringLiteral("entry \"%1\" could not be written").arg(shownName));
        }
        if (isCancelled()) {
            unzCloseCurrentFile(archive);
            return fail(QStringLiteral("cancelled"));
        }
    }
    // The checksum is only compared when the entry is closed.
    const int closed = unzCloseCurrentFile(archive);
    if (read < 0 || closed != UNZ_OK)
        return fail(QStringLiteral("entry \"%1\" is damaged").arg(shownName));
    if (std::fclose(out.release()) != 0)
        return fail(QStringLiteral("entry \"%1\" could not be written").arg(shownName));
    return true;
}

bool PackageExtractor::fail(const QString& reason)
{
    qWarning().noquote() << "DownloadablePackageItem: ERROR: extracting" << m_zipPath << "failed:" << reason;
    ZanthFileUtils::removeDir(m_temporaryPath);
    return false;
}
