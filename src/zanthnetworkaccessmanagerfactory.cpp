#include "zanthnetworkaccessmanagerfactory.h"

#include <QNetworkAccessManager>

ZanthNetworkAccessManagerFactory::ZanthNetworkAccessManagerFactory(int transferTimeoutMs)
    : m_transferTimeoutMs(transferTimeoutMs)
{
}

QNetworkAccessManager* ZanthNetworkAccessManagerFactory::create(QObject* parent)
{
    auto* manager = new QNetworkAccessManager(parent);
    manager->setTransferTimeout(m_transferTimeoutMs);
    return manager;
}
