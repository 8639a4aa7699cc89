#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "zanthtranslation.h"

namespace {

quint32 elfHash(const QByteArray& text)
{
    quint32 h = 0;
    for (const char c : text) {
        h = (h << 4) + static_cast<uchar>(c);
        const quint32 g = h & 0xf0000000;
        if (g) {
            h ^= g >> 24;
        }
        h &= ~g;
    }
    return h ? h : 1;
}

// A compiled Qt translation with one message, written the way the translation tools lay it out.
bool writeTranslation(const QString& path, const QByteArray& context, const QByteArray& source, const QString& translation)
{
    QByteArray message;
    QDataStream m(&message, QIODevice::WriteOnly);
    m << quint8(3) << quint32(translation.size() * 2);
    for (const QChar c : translation) {
        m << quint16(c.unicode());
    }
    m << quint8(6) << quint32(source.size());
    m.writeRawData(source.constData(), int(source.size()));
    m << quint8(7) << quint32(context.size());
    m.writeRawData(context.constData(), int(context.size()));
    m << quint8(1);

    QByteArray file;
    QDataStream f(&file, QIODevice::WriteOnly);
    static const uchar magic[16] = {0x3c, 0xb8, 0x64, 0x18, 0xca, 0xef, 0x9c, 0x95,
                                    0xcd, 0x21, 0x1c, 0xbf, 0x60, 0xa1, 0xbd, 0xdd};
    f.writeRawData(reinterpret_cast<const char*>(magic), 16);
    f << quint8(0x42) << quint32(8) << elfHash(source) << quint32(0);
    f << quint8(0x69) << quint32(message.size());
    f.writeRawData(message.constData(), int(message.size()));

    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(file) == file.size();
}

QString greeting()
{
    return QCoreApplication::translate("Menu", "Hello");
}

class ZanthTranslationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_previous = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        QSettings().clear();
        ASSERT_TRUE(writeTranslation(QStringLiteral("qml/translations/de.qm"), "Menu", "Hello", QStringLiteral("Hallo")));
        ASSERT_TRUE(writeTranslation(QStringLiteral("qml/translations/fr_FR.qm"), "Menu", "Hello", QStringLiteral("Bonjour")));
    }
    void TearDown() override { QDir::setCurrent(m_previous); }

    QTemporaryDir m_dir;
    QString m_previous;
};

} // namespace

TEST_F(ZanthTranslationTest, firstStartFollowsTheSystemLanguage)
{
    ZanthTranslation translation;
    EXPECT_EQ(translation.systemLanguage(), QStringLiteral("de_AT"));
    EXPECT_EQ(translation.activeLanguage(), QStringLiteral("de_AT"));
    EXPECT_EQ(greeting(), QStringLiteral("Hallo"));
    EXPECT_FALSE(translation.useSystemLanguage());
}

TEST_F(ZanthTranslationTest, missingSystemTranslationFallsBackToEnglish)
{
    QFile::remove(QStringLiteral("qml/translations/de.qm"));
    ZanthTranslation translation;
    EXPECT_EQ(translation.activeLanguage(), QStringLiteral("en_EN"));
    EXPECT_EQ(greeting(), QStringLiteral("Hello"));
}

TEST_F(ZanthTranslationTest, selectLanguageSwitchesAndSignalsOnce)
{
    ZanthTranslation translation;
    int languageChanges = 0;
    QObject::connect(&translation, &ZanthTranslation::languageChanged, [&] { ++languageChanges; });

    translation.selectLanguage(QStringLiteral("fr_FR"));
    EXPECT_EQ(translation.activeLanguage(), QStringLiteral("fr_FR"));
    EXPECT_EQ(translation.property("activeLanguage").toString(), QStringLiteral("fr_FR"));
    EXPECT_EQ(greeting(), QStringLiteral("Bonjour"));
    EXPECT_EQ(languageChanges, 1);

    translation.selectLanguage(QStringLiteral("xx_XX"));
    EXPECT_EQ(translation.activeLanguage(), QStringLiteral("en_EN"));
    EXPECT_EQ(greeting(), QStringLiteral("Hello"));
    EXPECT_EQ(languageChanges, 2);
    EXPECT_EQ(translation.property("language").toString(), QStringLiteral(""));
}

TEST_F(ZanthTranslationTest, storedLanguageWinsAtTheNextStart)
{
    {
        ZanthTranslation translation;
        translation.selectLanguage(QStringLiteral("fr_FR"));
        translation.storeActiveLanguage();
    }
    EXPECT_EQ(QSettings().value(QStringLiteral("currentLanguage")).toString(), QStringLiteral("fr_FR"));
    const QString file = QSettings().fileName();
    EXPECT_TRUE(file.contains(QCoreApplication::organizationName())) << file.toStdString();

    ZanthTranslation translation;
    EXPECT_EQ(translation.activeLanguage(), QStringLiteral("fr_FR"));
    EXPECT_EQ(greeting(), QStringLiteral("Bonjour"));
}

TEST_F(ZanthTranslationTest, useSystemLanguageForgetsAndRestoresTheStoredChoice)
{
    ZanthTranslation translation;
    translation.selectLanguage(QStringLiteral("fr_FR"));
    translation.storeActiveLanguage();
    int changes = 0;
    QObject::connect(&translation, &ZanthTranslation::useSystemLanguageChanged, [&] { ++changes; });

    translation.setUseSystemLanguage(false);
    EXPECT_EQ(changes, 0);

    translation.setProperty("useSystemLanguage", true);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(QSettings().contains(QStringLiteral("currentLanguage")));
    translation.storeActiveLanguage();
    EXPECT_FALSE(QSettings().contains(QStringLiteral("currentLanguage")));

    translation.setUseSystemLanguage(false);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(QSettings().value(QStringLiteral("currentLanguage")).toString(), QStringLiteral("fr_FR"));
}

int main(int argc, char** argv)
{
    // An Austrian German desktop: the translator then looks for de_AT and settles for de.
    qputenv("LC_ALL", "de_AT.UTF-8");
    qputenv("LANG", "de_AT.UTF-8");
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("com.example.translationtest"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("com.example.translationtest"));
    QCoreApplication::setApplicationName(QStringLiteral("TranslationTest"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
