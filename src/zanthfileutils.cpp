#include "zanthfileutils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <memory>

#include "platform/ZTFileUtils.h"
#include "scenegraphwrapper.h"

QString ZanthFileUtils::s_defaultWritablePath;

namespace {

// The scene-graph bridge names files for the scene graph's loaders by this class's rule.
const bool platformUrlRuleSet = [] {
    SceneGraphWrapper::setPlatformUrlRule(&ZanthFileUtils::getFilenameWithoutSchemeAndResourcePath);
    return true;
}();

QString withTrailingSlash(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

QString resourcesFolderPath(const QString& name)
{
    return QStringLiteral("%1/../Resources/%2").arg(QCoreApplication::applicationDirPath(), name);
}

} // namespace

ZanthFileUtils::ZanthFileUtils(QObject* parent) : QObject(parent) {}

QString ZanthFileUtils::findFileOrDirectoryIncludingResources(const QString& name)
{
    if (QFileInfo::exists(name)) {
        return name;
    }
    if (QDir::isRelativePath(name)) {
        const QString candidate = resourcesFolderPath(name);
        if (QFileInfo::exists(candidate)) {
            return candidate;
        }
    }
    const QString candidate = name.startsWith(QLatin1String(":/")) ? name.mid(2) : QStringLiteral(":/") + name;
    if (QFileInfo::exists(candidate)) {
        return candidate;
    }
    return QString();
}

bool ZanthFileUtils::existsFile(const QString& name)
{
    const QString path = findFileOrDirectoryIncludingResources(name);
    return !path.isEmpty() && QFileInfo::exists(path);
}

bool ZanthFileUtils::existsFileWithoutAdoptions(const QString& name)
{
    return QFileInfo::exists(name);
}

QString ZanthFileUtils::stripSchemeFromUrl(const QString& url)
{
    QString name = url;
    if (name.startsWith(QLatin1String("qrc"))) {
        name.remove(0, 3);
    }
    if (name.startsWith(QLatin1String("file://"))) {
        name.remove(0, 7);
    }
    if (name.startsWith(QLatin1String("file:"))) {
        name.remove(0, 5);
    }
    return name;
}

QString ZanthFileUtils::stripSchemeFromUrl(const QUrl& url)
{
    return stripSchemeFromUrl(url.toString());
}

QString ZanthFileUtils::getFilenameWithoutSchemeAndResourcePath(const QUrl& url)
{
    QString name = stripSchemeFromUrl(url);
    if (name.startsWith(QLatin1String(":/"))) {
        name.remove(0, 2);
    }
    return name;
}

QString ZanthFileUtils::prependDefaultWritablePathIfFileIsRelative(const QString& name)
{
    const QString path = stripSchemeFromUrl(name);
    if (QDir::isRelativePath(path)) {
        return defaultWritablePath() + path;
    }
    return path;
}

QString ZanthFileUtils::getAbsolutePathFromUrlString(const QString& name)
{
    const QString path = stripSchemeFromUrl(name);
    const QFileInfo info(path);
    if (path.mid(path.lastIndexOf(QLatin1Char('/')) + 1).contains(QLatin1Char('.'))) {
        return info.absolutePath() + QLatin1Char('/');
    }
    return info.absoluteFilePath();
}

QUrl ZanthFileUtils::getUrlByAddingSchemeToFilename(const QString& name)
{
    QString text = name;
    if (text.startsWith(QLatin1String("file::/"))) {
        text.replace(0, 5, QStringLiteral("qrc"));
    } else if (text.startsWith(QLatin1String(":/"))) {
        text.prepend(QStringLiteral("qrc"));
    } else if (!text.startsWith(QLatin1String("file:")) && !text.startsWith(QLatin1String("qrc:"))) {
        text.prepend(QStringLiteral("file://"));
    }
    return QUrl(text);
}

const QString& ZanthFileUtils::defaultWritablePath()
{
    if (s_defaultWritablePath.isEmpty()) {
        s_defaultWritablePath = storageLocation(DocumentsLocation);
        if (s_defaultWritablePath.isEmpty()) {
            qWarning("WARNING: defaultWritablePath() is still empty after reading the documenstLocation storage!");
        }
    }
    return s_defaultWritablePath;
}

bool ZanthFileUtils::writeFile(const QString& file, const QString& stringData)
{
    QByteArray bytes = stringData.toUtf8();
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0) {
        bytes.truncate(zero);
    }
    return writeFile(file, bytes);
}

bool ZanthFileUtils::writeFile(const QString& file, const QByteArray& byteData)
{
    if (file.isEmpty()) {
        qWarning("[WARNING] writeFile - No filename specified!");
        return false;
    }
    const QString path = prependDefaultWritablePathIfFileIsRelative(file);
    const QString folder = path.left(path.lastIndexOf(QLatin1Char('/')));
    if (!folder.isEmpty() && !QDir().mkpath(folder)) {
        qWarning().noquote() << "[WARNING] Could not create directory for writing file:" << '"' + folder + '"';
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        qWarning().noquote() << "[WARNING] File open for" << '"' + file + '"' << "did not work.";
        return false;
    }
    if (out.write(byteData) != byteData.size() || !out.commit()) {
        qWarning().noquote() << "[WARNING] File write for" << '"' + file + '"' << "did not work:" << out.errorString();
        return false;
    }
    return true;
}

QString ZanthFileUtils::readFile(const QString& file)
{
    static const QStringList textEndings{QStringLiteral(".txt"), QStringLiteral(".qml"), QStringLiteral(".js"),
                                         QStringLiteral(".json"), QStringLiteral(".xml"), QStringLiteral(".plist")};
    const bool isText = std::any_of(textEndings.cbegin(), textEndings.cend(),
                                    [&file](const QString& ending) { return file.endsWith(ending); });
    if (file.isEmpty() || !isText) {
        return QString();
    }
    QString path = stripSchemeFromUrl(file);
    if (!QFileInfo::exists(path)) {
        path = prependDefaultWritablePathIfFileIsRelative(file);
    }
    QFile in(path);
    if (!in.exists() || !in.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return QString();
    }
    QByteArray data = in.readAll();
    const qsizetype zero = data.indexOf('\0');
    if (zero >= 0) {
        data.truncate(zero);
    }
    if (data.isEmpty()) {
        return QStringLiteral("");
    }
    return QString::fromUtf8(data);
}

QStringList ZanthFileUtils::listFiles(const QUrl& path, const QStringList& nameFilter)
{
    const QString folder = getAbsolutePathFromUrlString(prependDefaultWritablePathIfFileIsRelative(path.toString()));
    const QDir dir(folder);
    if (!dir.exists()) {
        return QStringList();
    }
    return dir.entryList(nameFilter, QDir::Files | QDir::Hidden, QDir::Unsorted);
}

bool ZanthFileUtils::copyFile(const QString& source, const QString& destination)
{
    const QString text = readFile(stripSchemeFromUrl(source));
    if (!text.isNull()) {
        return writeFile(destination, text);
    }
    QByteArray bytes;
    if (!readBytes(getFilenameWithoutSchemeAndResourcePath(QUrl(source)), bytes)) {
        qWarning().noquote() << "[WARNING] copyFile - Could not read the source file" << '"' + source + '"';
        return false;
    }
    return writeFile(destination, bytes);
}

QByteArray ZanthFileUtils::getFileData(const QString& filename)
{
    QByteArray data;
    readBytes(filename, data);
    return data;
}

bool ZanthFileUtils::readBytes(const QString& filename, QByteArray& data)
{
    // The scene graph's reader looks beside the program first, then at the path, then in the resources.
    unsigned long size = 0;
    const std::unique_ptr<unsigned char[]> buffer(
        zanth2d::ZTFileUtils::getFileData(QFile::encodeName(filename).constData(), "rb", &size));
    if (!buffer) {
        return false;
    }
    data = QByteArray(reinterpret_cast<const char*>(buffer.get()), static_cast<qsizetype>(size));
    return true;
}

QUrl ZanthFileUtils::getDataStorageUrl(const QString& relativePath)
{
    QString base = defaultWritablePath();
    base.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString relative = relativePath;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (relative.startsWith(QLatin1Char('.'))) {
        relative.remove(0, 1);
    }
    return getUrlByAddingSchemeToFilename(base + relative);
}

QUrl ZanthFileUtils::getPathUrl(const QString& urlString, QObject* sourceObject)
{
    QString name = urlString;
    if (!name.startsWith(QLatin1String("qrc:")) && !name.startsWith(QLatin1String(":/"))) {
        name.prepend(getBasePath(sourceObject));
    }
    return getUrlByAddingSchemeToFilename(name);
}

QUrl ZanthFileUtils::getPathUrl(const QString& urlString, const QUrl& sourcePath)
{
    return getUrlByAddingSchemeToFilename(getAbsolutePathFromUrlString(sourcePath.toString()) + urlString);
}

QString ZanthFileUtils::getBasePath(QObject* sourceObject)
{
    if (!sourceObject) {
        return QString();
    }
    const QQmlContext* context = QQmlEngine::contextForObject(sourceObject);
    if (!context) {
        return QString();
    }
    const QString base = context->baseUrl().toString();
    const qsizetype slash = base.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QStringLiteral("./") : base.left(slash + 1);
}

QString ZanthFileUtils::storageLocation(ZanthFileUtils::StorageLocation type)
{
    QStandardPaths::StandardLocation location;
    switch (type) {
    case HomeLocation:
        location = QStandardPaths::HomeLocation;
        break;
    case DocumentsLocation:
        location = QStandardPaths::DocumentsLocation;
        break;
    case DataLocation:
        location = QStandardPaths::AppDataLocation;
        break;
    case CacheLocation:
        location = QStandardPaths::CacheLocation;
        break;
    case TempLocation:
        location = QStandardPaths::TempLocation;
        break;
    default:
        return QString();
    }
    const QString path = QStandardPaths::writableLocation(location);
    if (path.isEmpty() || !QDir().mkpath(path)) {
        return QString();
    }
    return withTrailingSlash(path);
}

bool ZanthFileUtils::removeDir(const QString& dirName)
{
    if (dirName.isEmpty()) {
        qWarning("WARNING: no dirName given for removeDir, no removal possible");
        return false;
    }
    const QString path = prependDefaultWritablePathIfFileIsRelative(dirName);
    const QFileInfo info(path);
    if (info.isSymLink()) {
        return QFile::remove(path);
    }
    if (!info.isDir()) {
        return true;
    }
    const QFileInfoList entries = QDir(path).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::DirsFirst);
    for (const QFileInfo& entry : entries) {
        // A link is removed as a link: what it points to lies outside the tree being removed.
        const bool removed = entry.isDir() && !entry.isSymLink() ? removeDir(entry.absoluteFilePath())
                                                                  : QFile::remove(entry.absoluteFilePath());
        if (!removed) {
            return false;
        }
    }
    return QDir().rmdir(path);
}

QString ZanthFileUtils::cropPathAndKeepFilename(const QString& path, bool cropFileExtension)
{
    QString result = path;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash > 0 && !path.endsWith(QLatin1Char('/'))) {
        result = path.mid(slash + 1);
    }
    if (cropFileExtension) {
        const qsizetype dot = result.lastIndexOf(QLatin1Char('.'));
        if (dot > 0) {
            result.truncate(dot);
        }
    }
    return result;
}

void ZanthFileUtils::addSearchPath(const QString& path, int index)
{
    const QString folder = withTrailingSlash(path);
    if (m_searchPaths.contains(folder)) {
        return;
    }
    if (index < -1 || index > m_searchPaths.size()) {
        qWarning().noquote() << "ZanthFileUtils: WARNING: search path index" << index << "out of range, appending"
                             << '"' + folder + '"';
        index = -1;
    }
    if (index == -1) {
        m_searchPaths.append(folder);
    } else {
        m_searchPaths.insert(index, folder);
    }
}

void ZanthFileUtils::removeSearchPath(const QString& path)
{
    m_searchPaths.removeAll(withTrailingSlash(path));
}

QStringList ZanthFileUtils::searchPaths() const
{
    return m_searchPaths;
}

QUrl ZanthFileUtils::getMultiPathUrl(const QUrl& url, QObject* contextObject)
{
    if (url.isEmpty()) {
        return QUrl();
    }
    const QString& writable = defaultWritablePath();
    if (!writable.isEmpty() && !m_searchPaths.contains(writable)) {
        m_searchPaths.insert(0, writable);
    }

    QString s = url.toString();
    QString based;
    if (url.scheme().isEmpty() && !s.contains(QLatin1String(":/"))) {
        if (contextObject) {
            based = getAbsolutePathFromUrlString(getBasePath(contextObject)) + s;
            if (QFile::exists(based)) {
                return getUrlByAddingSchemeToFilename(based);
            }
        }
    } else {
        const QString stripped = stripSchemeFromUrl(s);
        if (QFile::exists(stripped)) {
            return url;
        }
        if (contextObject) {
            s = stripped;
            const QString baseFolder = getAbsolutePathFromUrlString(getBasePath(contextObject));
            if (!baseFolder.isEmpty()) {
                s.remove(baseFolder);
            }
        } else if (stripped.startsWith(QLatin1String(":/"))) {
            if (QFile::exists(stripped.mid(2))) {
                return url;
            }
            qWarning().noquote() << "WARNING: System: getMultiPathUrl(): absolute url supplied, but the file wasnt found "
                                    "and no contextObject given so we cannot search the searchpaths for url:"
                                 << '"' + url.toString() + '"';
            return QUrl();
        }
    }

    for (const QString& searchPath : std::as_const(m_searchPaths)) {
        if (QFile::exists(searchPath + s)) {
            return getUrlByAddingSchemeToFilename(searchPath + s);
        }
    }
    if (contextObject && !based.isEmpty()) {
        return getUrlByAddingSchemeToFilename(based);
    }
    if (url.scheme().isEmpty() && !s.contains(QLatin1String(":/"))) {
        return QUrl();
    }
    return url;
}
