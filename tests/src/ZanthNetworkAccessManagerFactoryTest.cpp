#include <gtest/gtest.h>

#include "TestFiles.h"
#include "qmlapplicationviewer.h"
#include "zanthapplication.h"
#include "zanthnetworkaccessmanagerfactory.h"

#include <QDir>
#include <QNetworkAccessManager>
#include <QQmlEngine>
#include <QTemporaryDir>

#include <memory>

TEST(ZanthNetworkAccessManagerFactory, managersEndSilentTransfersAfterTheTimeout)
{
    ZanthNetworkAccessManagerFactory standard;
    std::unique_ptr<QNetworkAccessManager> manager(standard.create(nullptr));
    EXPECT_EQ(manager->transferTimeout(), 30000);

    ZanthNetworkAccessManagerFactory shortened(1500);
    std::unique_ptr<QNetworkAccessManager> other(shortened.create(nullptr));
    EXPECT_EQ(other->transferTimeout(), 1500);
}

TEST(ZanthNetworkAccessManagerFactory, applicationGivesItsQmlEngineTheFactory)
{
    QTemporaryDir dir;
    writeTestFile(dir.filePath("qml/config.json"),
                  "{ \"identifier\": \"com.example.factory\", \"stage\": \"test\" }");
    QDir::setCurrent(dir.path());
    int argc = 1;
    char name[] = "factory";
    char* argv[] = {name, nullptr};
    ZanthApplication application(argc, argv);
    QQmlEngine* engine = application.declarativeView()->engine();
    ASSERT_NE(engine->networkAccessManagerFactory(), nullptr);
    EXPECT_EQ(engine->networkAccessManager()->transferTimeout(),
              ZanthNetworkAccessManagerFactory::kTransferTimeoutMs);
}
