// The analytics module the application's main QML imports: found through the engine's plug-in import
// path inside the application's resource tree, and silent whatever it is told.
#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QTemporaryDir>
#include <memory>

#include "MessageLog.h"
#include "zanthfileutils.h"

namespace {

// The test runs where a game runs, in a folder of its own: started by hand from the checkout, whose
// plugins/generic lies on disk, it would otherwise look there.
const bool g_inFolderOfItsOwn = [] {
    static QTemporaryDir folder;
    return QDir::setCurrent(folder.path());
}();

// The engine adds "plugins/generic" through the same lookup: a folder on disk first, else the resource tree.
std::unique_ptr<QObject> create(QQmlEngine& engine, const QByteArray& qml, QString* errors)
{
    engine.addImportPath(
        ZanthFileUtils::findFileOrDirectoryIncludingResources(QStringLiteral("plugins/generic")));
    QQmlComponent component(&engine);
    component.setData(qml, QUrl(QStringLiteral("qrc:/qml/EmbervaleMainTest.qml")));
    std::unique_ptr<QObject> object(component.create());
    *errors = component.errorString();
    return object;
}

} // namespace

TEST(Flurry, importResolvesThroughThePluginImportPath)
{
    ASSERT_TRUE(g_inFolderOfItsOwn);
    EXPECT_EQ(ZanthFileUtils::findFileOrDirectoryIncludingResources(QStringLiteral("plugins/generic")),
              QStringLiteral(":/plugins/generic"));
    QQmlEngine engine;
    QString errors;
    const auto flurry = create(engine,
                               "import QtQuick 2.15\n"
                               "import Zanth.plugins.flurry 1.0\n"
                               "Flurry { applicationKey: \"QKD47TTR2LAMNCPVFHGE\" }\n",
                               &errors);
    ASSERT_TRUE(flurry) << errors.toStdString();
    EXPECT_TRUE(qobject_cast<QQuickItem*>(flurry.get()));
    EXPECT_EQ(flurry->property("applicationKey").toString(), QStringLiteral("QKD47TTR2LAMNCPVFHGE"));
}

TEST(Flurry, everyEventCallIsAcceptedAndDroppedWithoutALogLine)
{
    QQmlEngine engine;
    MessageLog log;
    QString errors;
    const auto root = create(engine,
                             "import QtQuick 2.15\n"
                             "import Zanth.plugins.flurry 1.0\n"
                             "Item {\n"
                             "    property var answers: []\n"
                             "    Flurry { id: flurry }\n"
                             "    Component.onCompleted: {\n"
                             "        answers.push(flurry.logEvent(\"FirstStart\"))\n"
                             "        answers.push(flurry.logEvent(\"Add\", \"FireParticle\", 3))\n"
                             "        answers.push(flurry.logEvent(\"Save\", \"Particle\", \"Blue\"))\n"
                             "        answers.push(flurry.logEvent())\n"
                             "    }\n"
                             "}\n",
                             &errors);
    ASSERT_TRUE(root) << errors.toStdString();
    const QVariantList answers = root->property("answers").toList();
    ASSERT_EQ(answers.size(), 4);
    for (const QVariant& answer : answers) {
        EXPECT_FALSE(answer.isValid()) << "logEvent returns nothing";
    }
    EXPECT_TRUE(log.lines().isEmpty()) << log.lines().join('\n').toStdString();
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
