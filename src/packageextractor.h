#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

// Unpacks a downloaded package's zip archive. Runs on a worker thread and shares nothing with the item
// that started it but the copied paths, the cancel flag and the progress function. Every entry lands in a
// temporary sibling folder that is renamed into the package folder only when the whole archive was
// written, so an interrupted extraction never leaves a package folder behind.
class PackageExtractor
{
public:
    // percent of the entries begun, reported as the extraction goes.
    using ProgressFunction = std::function<void(int percent)>;

    // cancelled may be set from another thread; the extraction then stops at the next entry or block.
    // An archive whose entries inflate to more than sizeLimit bytes in all is refused.
    PackageExtractor(const QString& zipPath, const QString& packagePath,
                     std::shared_ptr<const std::atomic_bool> cancelled, qint64 sizeLimit);

    // true when the package folder holds every entry of the archive. On false nothing is left at the
    // package folder or the temporary folder, and one line says why.
    bool extract(const ProgressFunction& progress);

    // The sibling folder an extraction into packagePath writes to until it succeeds.
    static QString temporaryFolderPath(const QString& packagePath);
    // Whether an entry name stays inside the folder it is unpacked into: not empty, not absolute, no
    // ".." part, no NUL byte.
    static bool isSafeEntryName(const QByteArray& name);

private:
    bool extractEntries(void* archive, const ProgressFunction& progress);
    bool checkDeclaredSize(void* archive, quint64 entries);
    bool extractFile(void* archive, const QByteArray& name, const QByteArray& path);
    bool fail(const QString& reason);
    bool isCancelled() const { return m_cancelled && m_cancelled->load(); }

    QString m_zipPath;
    QString m_packagePath;
    QString m_temporaryPath;
    std::shared_ptr<const std::atomic_bool> m_cancelled;
    qint64 m_sizeLimit;
};
