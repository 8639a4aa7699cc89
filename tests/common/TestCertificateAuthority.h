#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QString>
#include <QTemporaryDir>

#include <cstdlib>
#include <string>

// A certificate authority of the test's own, made with the openssl command line, and a certificate it
// signed for 127.0.0.1. Qt does not read SSL_CERT_FILE: trust() adds the authority to Qt's default TLS
// configuration, which requests made afterwards start from.
class TestCertificateAuthority
{
public:
    TestCertificateAuthority()
    {
        const std::string dir = m_dir.path().toStdString();
        const std::string script = "cd '" + dir + "' && "
            "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
            "-subj '/CN=Zanth Test Authority' -keyout ca.key -out ca.pem && "
            "openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -subj '/CN=127.0.0.1' "
            "-keyout server.key -out server.csr && "
            "printf 'subjectAltName=IP:127.0.0.1\\n' > san.ext && "
            "openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 "
            "-extfile san.ext -out server.pem";
        m_ok = std::system(("( " + script + " ) > /dev/null 2>&1").c_str()) == 0;
    }

    bool isValid() const { return m_ok && !authority().isNull() && !serverCertificate().isNull(); }
    QSslCertificate authority() const { return QSslCertificate(read("ca.pem")); }
    QSslCertificate serverCertificate() const { return QSslCertificate(read("server.pem")); }
    QSslKey serverKey() const { return QSslKey(read("server.key"), QSsl::Ec); }

    void trust() const
    {
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        QList<QSslCertificate> authorities = configuration.caCertificates();
        authorities.append(authority());
        configuration.setCaCertificates(authorities);
        QSslConfiguration::setDefaultConfiguration(configuration);
    }

private:
    QByteArray read(const char* name) const
    {
        QFile file(m_dir.filePath(QString::fromLatin1(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
    bool m_ok = false;
};
