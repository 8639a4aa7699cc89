#include "zanthtranslation.h"

#include "zanthfileutils.h"

#include <QCoreApplication>
#include <QLocale>
#include <QSettings>
#include <QTranslator>

namespace {
const QString kLanguageKey = QStringLiteral("currentLanguage");
const QString kFallbackLanguage = QStringLiteral("en_EN");
} // namespace

ZanthTranslation::ZanthTranslation(QObject* parent) : QObject(parent), m_translator(new QTranslator(this))
{
    QCoreApplication::installTranslator(m_translator);
    m_systemLanguage = QLocale::system().name();
    QString language = QSettings().value(kLanguageKey).toString();
    if (language.isEmpty()) {
        language = m_systemLanguage;
    }
    selectLanguage(language);
}

void ZanthTranslation::selectLanguage(const QString& languageFile)
{
    QString folder = ZanthFileUtils::findFileOrDirectoryIncludingResources(QStringLiteral("qml/translations"));
    if (folder.isEmpty()) {
        folder = QStringLiteral("qml/translations");
    }
    QString active = languageFile;
    if (!m_translator->load(languageFile, folder)) {
        // Without this file either the translator stays empty and texts show as written in the source.
        active = kFallbackLanguage;
        static_cast<void>(m_translator->load(kFallbackLanguage, folder));
    }
    if (active != m_activeLanguage) {
        m_activeLanguage = active;
        emit activeLanguageChanged();
    }
    emit languageChanged();
}

QString ZanthTranslation::language() const
{
    return QStringLiteral("");
}

QString ZanthTranslation::activeLanguage() const
{
    return m_activeLanguage;
}

QString ZanthTranslation::systemLanguage() const
{
    return m_systemLanguage;
}

bool ZanthTranslation::useSystemLanguage() const
{
    return m_useSystemLanguage;
}

void ZanthTranslation::setUseSystemLanguage(bool useSystemLanguage)
{
    if (useSystemLanguage == m_useSystemLanguage) {
        return;
    }
    m_useSystemLanguage = useSystemLanguage;
    storeActiveLanguage();
    emit useSystemLanguageChanged();
}

void ZanthTranslation::storeActiveLanguage()
{
    QSettings settings;
    if (m_useSystemLanguage) {
        settings.remove(kLanguageKey);
    } else {
        settings.setValue(kLanguageKey, m_activeLanguage);
    }
}
