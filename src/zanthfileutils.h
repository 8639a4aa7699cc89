#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

// Files and URLs of the engine. A file can live in the compiled-in resource trees (":/", "qrc:"), in the
// folder beside the program (which wins over the resources) or in the user's writable folders; relative
// names given for writing land in the documents folder. Published to QML as the context object fileUtils.
class ZanthFileUtils : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QStringList searchPaths READ searchPaths)

public:
    enum StorageLocation { HomeLocation = 0, DocumentsLocation = 1, DataLocation = 2, CacheLocation = 3, TempLocation = 4 };
    Q_ENUM(StorageLocation)

    explicit ZanthFileUtils(QObject* parent = nullptr);

    // name as given when it exists, else the Resources folder beside the program, else the other side of
    // the resource prefix (":/" + name, or name without ":/"); empty text when none exists.
    static QString findFileOrDirectoryIncludingResources(const QString& name);
    static bool existsFile(const QString& name);
    static bool existsFileWithoutAdoptions(const QString& name);

    // The URL's text without a leading "qrc", "file://" or "file:" (so "qrc:/a" becomes ":/a").
    static QString stripSchemeFromUrl(const QString& url);
    static QString stripSchemeFromUrl(const QUrl& url);
    // As stripSchemeFromUrl, then without a leading ":/": the path the scene graph's loaders take.
    static QString getFilenameWithoutSchemeAndResourcePath(const QUrl& url);
    // Resolves a relative name (or "file:" URL) below the documents folder; other names stay as they are.
    static QString prependDefaultWritablePathIfFileIsRelative(const QString& name);
    // The absolute folder of a file name (with a trailing "/"), or of a folder name (without one).
    static QString getAbsolutePathFromUrlString(const QString& name);
    // ":/a" -> "qrc:/a", "file::/a" -> "qrc:/a", "/a" -> "file:///a"; names with a scheme stay.
    static QUrl getUrlByAddingSchemeToFilename(const QString& name);
    // The documents folder with a trailing "/", found once per process; empty when there is none.
    static const QString& defaultWritablePath();

public slots:
    // Relative names are written below the documents folder, missing folders are made. The file is
    // replaced only when every byte was written, so a failed write leaves the previous file intact.
    static bool writeFile(const QString& file, const QString& stringData);
    static bool writeFile(const QString& file, const QByteArray& byteData);
    // The UTF-8 text of a .txt, .qml, .js, .json, .xml or .plist file; a null string when it can't be read.
    static QString readFile(const QString& file);
    // Names of the plain files (hidden ones too) of a folder, or of the folder of a file URL; unsorted.
    static QStringList listFiles(const QUrl& path, const QStringList& nameFilter = QStringList());
    // False, with the destination untouched, when the source can't be read.
    static bool copyFile(const QString& source, const QString& destination);
    // The whole file, from the folder beside the program or the resources; empty when it can't be read.
    static QByteArray getFileData(const QString& filename);
    // A file URL for a path below the documents folder.
    static QUrl getDataStorageUrl(const QString& relativePath);
    // urlString relative to the folder of the QML file that created sourceObject, as a URL.
    static QUrl getPathUrl(const QString& urlString, QObject* sourceObject);
    // urlString relative to the folder of sourcePath (or to sourcePath itself when it names a folder).
    static QUrl getPathUrl(const QString& urlString, const QUrl& sourcePath);
    // The folder URL text, with a trailing "/", of the QML file that created sourceObject; empty when no
    // QML context created it.
    static QString getBasePath(QObject* sourceObject);
    // The standard folder with a trailing "/", created when missing; empty when it can't be made.
    static QString storageLocation(ZanthFileUtils::StorageLocation type);
    // Removes the folder and everything in it; symbolic links are removed, never followed.
    static bool removeDir(const QString& dirName);
    static QString cropPathAndKeepFilename(const QString& path, bool cropFileExtension = false);

    // index -1 appends; a path already listed is not added again.
    void addSearchPath(const QString& path, int index = -1);
    void removeSearchPath(const QString& path);
    QStringList searchPaths() const;
    // Finds url in the documents folder, the search paths and beside the QML file of contextObject.
    QUrl getMultiPathUrl(const QUrl& url, QObject* contextObject = nullptr);

private:
    static bool readBytes(const QString& filename, QByteArray& data);

    QStringList m_searchPaths;
    static QString s_defaultWritablePath;
};
