#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// Passphrase encryption of the game network's requests and answers, in the salted format that
// `openssl enc -aes-256-cbc -md md5 -a` reads and writes: "Salted__", an 8-byte random salt and the
// AES-256-CBC cipher text (key and IV from MD5 over passphrase and salt, one round), in Base64 with a
// line break after every 64 characters. Published to QML as the singleton GibberishAES of "Zanth" 1.0.
class GibberishAES : public QObject
{
    Q_OBJECT

public:
    explicit GibberishAES(QObject* parent = nullptr);

    // The Base64 text of the UTF-8 bytes of plainText; empty when no random salt could be had.
    Q_INVOKABLE QString enc(const QString& plainText, const QString& passphrase) const;
    // The text enc made with the same passphrase; empty for anything else (not Base64, no salt header,
    // a cut or altered cipher text, another passphrase). Never logs: the caller reports its own failure.
    Q_INVOKABLE QString dec(const QString& cipherText, const QString& passphrase) const;

    // enc over bytes; false when no random salt could be had.
    static bool encrypt(const QByteArray& plain, const QByteArray& passphrase, QByteArray& base64);
    // dec over bytes; line breaks and other white space in the Base64 text are ignored.
    static bool decrypt(const QByteArray& base64, const QByteArray& passphrase, QByteArray& plain);
};
