#pragma once

#include <QObject>
#include <QString>

class QTranslator;

// The application's language: one translator installed for the whole program, loaded with the stored
// language (settings key "currentLanguage") or else the system's, and switched from QML. Published to QML
// as the context object translation.
class ZanthTranslation : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString language READ language NOTIFY languageChanged)
    Q_PROPERTY(QString activeLanguage READ activeLanguage NOTIFY activeLanguageChanged)
    Q_PROPERTY(QString systemLanguage READ systemLanguage NOTIFY systemLanguageChanged)
    Q_PROPERTY(bool useSystemLanguage READ useSystemLanguage WRITE setUseSystemLanguage NOTIFY useSystemLanguageChanged)

public:
    // Needs the application's organisation and application names set, as the settings live under them.
    explicit ZanthTranslation(QObject* parent = nullptr);

public slots:
    // Loads languageFile (such as "de_DE") from "qml/translations", found on disk before the resources;
    // when there is no such translation, "en_EN" is loaded instead and becomes the active language.
    void selectLanguage(const QString& languageFile);
    // Always empty; it changes with every switch, so texts bound with "+ translation.language" are
    // translated again.
    QString language() const;
    QString activeLanguage() const;
    QString systemLanguage() const;
    bool useSystemLanguage() const;
    void setUseSystemLanguage(bool useSystemLanguage);
    // Stores the active language for the next start, or forgets it while the system language is in use.
    void storeActiveLanguage();

signals:
    void languageChanged();
    void activeLanguageChanged();
    void systemLanguageChanged();
    void useSystemLanguageChanged();

private:
    QTranslator* m_translator;
    QString m_activeLanguage;
    QString m_systemLanguage;
    bool m_useSystemLanguage = false;
};
