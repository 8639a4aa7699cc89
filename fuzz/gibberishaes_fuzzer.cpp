// Game-network answers: any bytes given to dec must fail cleanly or give text that survives a round trip.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QByteArray>
#include <QString>

#include "gibberishaes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte picks how many of the next bytes form the passphrase; the rest is the answer.
    if (size == 0)
        return 0;
    const size_t passphraseLength = data[0] % 33 < size - 1 ? data[0] % 33 : size - 1;
    const QByteArray passphrase(reinterpret_cast<const char*>(data + 1), qsizetype(passphraseLength));
    const QByteArray answer(reinterpret_cast<const char*>(data + 1 + passphraseLength), qsizetype(size - 1 - passphraseLength));

    QByteArray plain;
    if (GibberishAES::decrypt(answer, passphrase, plain)) {
        QByteArray again;
        QByteArray roundTrip;
        if (!GibberishAES::encrypt(plain, passphrase, again) || !GibberishAES::decrypt(again, passphrase, roundTrip)
            || roundTrip != plain)
            std::abort();
    }
    GibberishAES aes;
    aes.dec(QString::fromLatin1(answer), QString::fromUtf8(passphrase));
    return 0;
}
