#include <gtest/gtest.h>

#include "FixtureDir.h"
#include "QtPrinters.h"
#include "gibberishaes.h"
#include "qmltyperegistry.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QRegularExpression>

#include <cstdio>
#include <memory>
#include <string>

namespace {

const std::string kOpensslEnc = "openssl enc -aes-256-cbc -md md5 -a -pass pass:";

std::string run(const std::string& command)
{
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>/dev/null").c_str(), "r"), pclose);
    char buffer[512];
    while (pipe && fgets(buffer, sizeof buffer, pipe.get()))
        out += buffer;
    return out;
}

QString kiloByteText()
{
    QString text;
    for (int i = 0; text.size() < 1024; ++i)
        text += QStringLiteral("score %1 for Zoë; ").arg(i);
    return text.left(1024);
}

class GibberishAESTest : public ::testing::TestWithParam<QString>
{
protected:
    GibberishAES aes;
    FixtureDir dir;
};

TEST_P(GibberishAESTest, opensslCommandLineReadsEnc)
{
    const QString cipher = aes.enc(GetParam(), QStringLiteral("pkg secret"));
    // OpenSSL's reader wants the last line ended, as in any text file.
    dir.write("cipher.txt", cipher.toStdString() + "\n");
    EXPECT_EQ(QString::fromStdString(run(kOpensslEnc + "'pkg secret' -d -in " + dir.path("cipher.txt"))), GetParam());
}

TEST_P(GibberishAESTest, decReadsOpensslCommandLine)
{
    dir.write("plain.txt", GetParam().toStdString());
    const std::string cipher = run(kOpensslEnc + "'pkg secret' -in " + dir.path("plain.txt"));
    ASSERT_TRUE(QByteArray::fromStdString(cipher).startsWith("U2FsdGVkX1"));
    EXPECT_EQ(aes.dec(QString::fromStdString(cipher), QStringLiteral("pkg secret")), GetParam());
}

TEST_P(GibberishAESTest, encWritesBase64InLinesOf64Characters)
{
    const QStringList lines = aes.enc(GetParam(), QStringLiteral("s")).split(QLatin1Char('\n'));
    ASSERT_FALSE(lines.isEmpty());
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        EXPECT_EQ(lines[i].size(), 64) << "line " << i;
    EXPECT_LE(lines.last().size(), 64);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Za-z0-9+/=\\n]+$")).match(lines.join(QLatin1Char('\n'))).hasMatch());
}

INSTANTIATE_TEST_SUITE_P(Texts, GibberishAESTest, ::testing::Values(QStringLiteral("Zoë ✓"), kiloByteText()));

TEST(GibberishAES, twoEncryptionsOfOneTextDiffer)
{
    GibberishAES aes;
    const QString first = aes.enc(QStringLiteral("same text"), QStringLiteral("p"));
    const QString second = aes.enc(QStringLiteral("same text"), QStringLiteral("p"));
    EXPECT_NE(first, second);
    EXPECT_EQ(aes.dec(first, QStringLiteral("p")), aes.dec(second, QStringLiteral("p")));
}

TEST(GibberishAES, decReadsAKnownCipherTextAndIgnoresItsLineBreaks)
{
    // Written once by `openssl enc -aes-256-cbc -md md5 -a -pass pass:right`.
    const QString cipher = QStringLiteral("U2FsdGVkX180Aq5Q3ZQWYneWXu17wKZEbr64VFDp9AxB0WQivVPlH+j4am7pKPlv");
    GibberishAES aes;
    EXPECT_EQ(aes.dec(cipher, QStringLiteral("right")), QStringLiteral("{\"action\":\"login\"}"));
    EXPECT_EQ(aes.dec(cipher.left(20) + "\r\n" + cipher.mid(20) + "\n", QStringLiteral("right")),
              QStringLiteral("{\"action\":\"login\"}"));
    EXPECT_EQ(aes.dec(cipher, QStringLiteral("wrong")), QString());
}

TEST(GibberishAES, decFailsCleanlyOnAnythingElse)
{
    GibberishAES aes;
    const QString good = aes.enc(QStringLiteral("a longer text that fills more than two cipher blocks"), QStringLiteral("p"));
    const QString compact = QString(good).remove(QLatin1Char('\n'));
    const QStringList bad{
        QString(),
        QStringLiteral("garbage that is not base64 at all!"),
        QStringLiteral("<html><body>500 Internal Server Error</body></html>"),
        QString::fromLatin1(QByteArray("Salted__").toBase64()),
        QString::fromLatin1(QByteArray("Salted__12345678").toBase64()),
        QString::fromLatin1(QByteArray("NotSalt_12345678abcdefghijklmnop").toBase64()),
        compact.left(compact.size() - 8),
        compact.left(44),
        compact.left(compact.size() - 2),
    };
    for (const QString& text : bad)
        EXPECT_EQ(aes.dec(text, QStringLiteral("p")), QString()) << text.toStdString();
}

TEST(GibberishAES, emptyTextAndEmptyPassphraseRoundTrip)
{
    GibberishAES aes;
    EXPECT_EQ(aes.dec(aes.enc(QString(), QStringLiteral("p")), QStringLiteral("p")), QString());
    QByteArray plain;
    QByteArray cipher;
    ASSERT_TRUE(GibberishAES::encrypt(QByteArray(), "p", cipher));
    EXPECT_TRUE(GibberishAES::decrypt(cipher, "p", plain));
    EXPECT_EQ(aes.dec(aes.enc(QStringLiteral("x"), QString()), QString()), QStringLiteral("x"));
}

TEST(GibberishAES, qmlCallsTheSingletonOfZanth)
{
    QmlTypeRegistry::registerRows(QmlTypeRows::DownloadablePackage, QmlTypeRows::DownloadablePackage);
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData("import QtQuick 2.15\nimport Zanth 1.0\nQtObject {\n"
                      "    property string cipher: GibberishAES.enc(\"Zoë ✓\", \"secret\")\n"
                      "    property string plain: GibberishAES.dec(cipher, \"secret\")\n"
                      "    property string refused: GibberishAES.dec(\"junk\", \"secret\")\n}\n",
                      QUrl(QStringLiteral("file:///aes.qml")));
    std::unique_ptr<QObject> object(component.create());
    ASSERT_TRUE(object) << component.errorString().toStdString();
    EXPECT_TRUE(object->property("cipher").toString().startsWith(QStringLiteral("U2FsdGVkX1")));
    EXPECT_EQ(object->property("plain").toString(), QStringLiteral("Zoë ✓"));
    EXPECT_EQ(object->property("refused").toString(), QString());
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
