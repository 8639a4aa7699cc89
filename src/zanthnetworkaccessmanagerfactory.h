#pragma once

#include <QQmlNetworkAccessManagerFactory>

// The network factory of the engine's QML: every XMLHttpRequest, image and script load of QML goes
// through managers made here. Qt 6's QML XMLHttpRequest has no timeout of its own, so a server that
// accepts a request and never answers would hold it for ever; a transfer that stays silent for the
// timeout fails instead (the request then finishes with status 0 and no text). Certificates are verified.
class ZanthNetworkAccessManagerFactory : public QQmlNetworkAccessManagerFactory
{
public:
    static constexpr int kTransferTimeoutMs = 30000;

    explicit ZanthNetworkAccessManagerFactory(int transferTimeoutMs = kTransferTimeoutMs);

    // Called by the QML engine, possibly on a loader thread; the engine owns the result.
    QNetworkAccessManager* create(QObject* parent) override;

private:
    const int m_transferTimeoutMs;
};
