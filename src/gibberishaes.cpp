#include "gibberishaes.h"

#include "qmltyperegistry.h"

#include <QQmlEngine>

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <climits>
#include <memory>

namespace {

const QmlTypeRegistrar gibberishAesRow(QmlTypeRows::DownloadablePackage, [] {
    qmlRegisterSingletonType<GibberishAES>("Zanth", 1, 0, "GibberishAES",
                                           [](QQmlEngine*, QJSEngine*) -> QObject* { return new GibberishAES; });
});

constexpr char kSaltHeader[] = "Salted__";
constexpr int kHeaderSize = 8;
constexpr int kSaltSize = 8;
constexpr int kKeySize = 32;
constexpr int kBlockSize = 16;
constexpr int kLineLength = 64;

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

struct KeyAndIv
{
    unsigned char key[kKeySize];
    unsigned char iv[kBlockSize];
};

bool deriveKey(const QByteArray& passphrase, const unsigned char* salt, KeyAndIv& out)
{
    return EVP_BytesToKey(EVP_aes_256_cbc(), EVP_md5(), salt, reinterpret_cast<const unsigned char*>(passphrase.constData()),
                          int(passphrase.size()), 1, out.key, out.iv) == kKeySize;
}

// Runs the whole input through the cipher; false when the context fails (a bad padding on decryption).
bool runCipher(bool encrypting, const KeyAndIv& keys, const unsigned char* input, int length, QByteArray& output)
{
    CipherContext context(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    if (!context || EVP_CipherInit_ex(context.get(), EVP_aes_256_cbc(), nullptr, keys.key, keys.iv, encrypting ? 1 : 0) != 1)
        return false;
    output.resize(length + kBlockSize);
    auto* out = reinterpret_cast<unsigned char*>(output.data());
    int written = 0;
    int finalWritten = 0;
    if (EVP_CipherUpdate(context.get(), out, &written, input, length) != 1
        || EVP_CipherFinal_ex(context.get(), out + written, &finalWritten) != 1) {
        output.clear();
        return false;
    }
    output.resize(written + finalWritten);
    return true;
}

QByteArray withLineBreaks(const QByteArray& base64)
{
    QByteArray text;
    text.reserve(base64.size() + base64.size() / kLineLength + 1);
    for (qsizetype at = 0; at < base64.size(); at += kLineLength) {
        text += base64.mid(at, kLineLength);
        if (at + kLineLength <= base64.size())
            text += '\n';
    }
    return text;
}

} // namespace

GibberishAES::GibberishAES(QObject* parent) : QObject(parent) {}

QString GibberishAES::enc(const QString& plainText, const QString& passphrase) const
{
    QByteArray base64;
    if (!encrypt(plainText.toUtf8(), passphrase.toUtf8(), base64))
        qWarning("GibberishAES: ERROR: no random salt could be made, nothing was encrypted");
    return QString::fromLatin1(base64);
}

QString GibberishAES::dec(const QString& cipherText, const QString& passphrase) const
{
    QByteArray plain;
    if (!decrypt(cipherText.toLatin1(), passphrase.toUtf8(), plain))
        return QString();
    return QString::fromUtf8(plain);
}

bool GibberishAES::encrypt(const QByteArray& plain, const QByteArray& passphrase, QByteArray& base64)
{
    base64.clear();
    if (plain.size() > INT_MAX - kBlockSize)
        return false;
    unsigned char salt[kSaltSize];
    if (RAND_bytes(salt, kSaltSize) != 1)
        return false;
    KeyAndIv keys;
    QByteArray cipher;
    if (!deriveKey(passphrase, salt, keys)
        || !runCipher(true, keys, reinterpret_cast<const unsigned char*>(plain.constData()), int(plain.size()), cipher))
        return false;
    QByteArray message(kSaltHeader, kHeaderSize);
    message.append(reinterpret_cast<const char*>(salt), kSaltSize);
    message += cipher;
    base64 = withLineBreaks(message.toBase64());
    return true;
}

bool GibberishAES::decrypt(const QByteArray& base64, const QByteArray& passphrase, QByteArray& plain)
{
    plain.clear();
    QByteArray compact;
    compact.reserve(base64.size());
    for (const char c : base64) {
        if (c != '\n' && c != '\r' && c != ' ' && c != '\t')
            compact += c;
    }
    const auto decoded = QByteArray::fromBase64Encoding(compact, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return false;
    const QByteArray& message = *decoded;
    const qsizetype cipherLength = message.size() - kHeaderSize - kSaltSize;
    if (cipherLength < kBlockSize || cipherLength > INT_MAX - kBlockSize || cipherLength % kBlockSize != 0 || !message.startsWith(QByteArray(kSaltHeader, kHeaderSize)))
        return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(message.constData());
    KeyAndIv keys;
    if (!deriveKey(passphrase, bytes + kHeaderSize, keys))
        return false;
    return runCipher(false, keys, bytes + kHeaderSize + kSaltSize, int(cipherLength), plain);
}
