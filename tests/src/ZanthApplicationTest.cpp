#include <gtest/gtest.h>

#include "MessageLog.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "qmlapplicationviewer.h"
#include "scenegraphbridge.h"
#include "system.h"
#include "zanthapplication.h"

#include <QApplication>
#include <QFont>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QTemporaryDir>

namespace {
ZanthApplication* app = nullptr;
QString folder;

// Records what the application asks of the scene graph, in order.
class RecordingBridge : public SceneGraphBridge
{
public:
    explicit RecordingBridge(QStringList* calls) : m_calls(calls) {}
    QObject* wrapper() override { return &m_wrapper; }
    int run(const std::function<void()>& launched) override
    {
        m_calls->append("run");
        launched();
        return 7;
    }
    QSize size() const override { return m_size; }
    void resize(int width, int height) override
    {
        m_size = QSize(width, height);
        m_calls->append(QString("resize %1x%2").arg(width).arg(height));
    }
    void windowSizeChanged() override { m_calls->append("windowSizeChanged"); }
    void setInitialized(bool initialized) override
    {
        m_calls->append(QString("initialized %1").arg(initialized));
    }
    void setDisplayFps(bool enabled) override { m_calls->append(QString("displayFps %1").arg(enabled)); }
    void createSceneGraphTreeFromQmlTree(QObject* root) override
    {
        m_calls->append(QString("mirror %1").arg(root ? root->objectName() : "none"));
    }
    void setAppStarted(bool started) override { m_calls->append(QString("started %1").arg(started)); }
    void endDirector() override { m_calls->append("end"); }

private:
    QStringList* m_calls;
    QObject m_wrapper;
    QSize m_size;
};

QString componentError(const QByteArray& qml)
{
    QQmlComponent component(app->declarativeView()->engine());
    component.setData(qml, QUrl::fromLocalFile(folder + "/inline.qml"));
    std::unique_ptr<QObject> object(component.create());
    return object ? QString() : component.errorString();
}
} // namespace

TEST(ZanthApplicationStartTest, configurationNamesTheApplication)
{
    EXPECT_EQ(QCoreApplication::applicationName(), "Test Game");
    EXPECT_EQ(QCoreApplication::organizationDomain(), "com.example.test");
    EXPECT_EQ(QCoreApplication::organizationName(), "com.example.test");
    EXPECT_EQ(QCoreApplication::applicationVersion(), "2.5");
}

TEST(ZanthApplicationStartTest, applicationFontIsPtSansAtFourteenPixels)
{
    EXPECT_EQ(QGuiApplication::font().pixelSize(), 14);
    EXPECT_EQ(QGuiApplication::font().family(), "PT Sans");
}

TEST(ZanthApplicationStartTest, importPathsPutDiskQmlFirstAndResourcesLast)
{
    const QStringList paths = app->declarativeView()->engine()->importPathList();
    auto indexOf = [&paths](const QString& end) {
        for (int i = 0; i < paths.size(); ++i) {
            if (paths.at(i).endsWith(end))
                return i;
        }
        return -1;
    };
    const int qml = indexOf(folder + "/qml");
    const int linuxPlugins = indexOf("plugins/linux");
    const int resources = indexOf(":/qml");
    ASSERT_GE(qml, 0) << paths.join(", ").toStdString();
    ASSERT_GE(linuxPlugins, 0);
    ASSERT_GE(resources, 0);
    // The engine's resource tree holds the widgets' skin module below plugins/generic.
    const int genericPlugins = indexOf(":/plugins/generic");
    ASSERT_GE(genericPlugins, 0) << paths.join(", ").toStdString();
    EXPECT_LT(qml, linuxPlugins);
    EXPECT_LT(linuxPlugins, genericPlugins);
    EXPECT_LT(genericPlugins, resources);
    EXPECT_EQ(paths.count(":/qml") + paths.count("qrc:/qml"), 1);
}

TEST(ZanthApplicationStartTest, aGamesOwnPluginFolderKeepsTheEngineSkinBehindIt)
{
    // The game's folder has a plugins/generic of its own, holding one module and not the skin.
    const QStringList paths = app->declarativeView()->engine()->importPathList();
    const int own = paths.indexOf(folder + "/plugins/generic");
    const int compiled = paths.indexOf("qrc:/plugins/generic");
    ASSERT_GE(own, 0) << paths.join(", ").toStdString();
    EXPECT_LT(own, compiled) << paths.join(", ").toStdString();
    EXPECT_EQ(componentError("import QtQuick 2.15\nimport GameOwn 1.0\nimport Zanth.gui.skins 1.0\n"
                             "Item { property Item own: Marker {}\n"
                             "       property QtObject skin: SliderSkin {} }\n"),
              QString());
}

TEST(ZanthApplicationStartTest, contextPropertiesOfStartUpAreSet)
{
    QQmlContext* context = app->declarativeView()->rootContext();
    EXPECT_EQ(context->contextProperty("ZanthApplication").value<QObject*>(), app);
    EXPECT_NE(context->contextProperty("fileUtils").value<QObject*>(), nullptr);
    EXPECT_NE(context->contextProperty("nativeUtils").value<QObject*>(), nullptr);
    EXPECT_EQ(context->contextProperty("system").value<QObject*>(), app->system());
}

TEST(ZanthApplicationStartTest, mainQmlWithoutGameWindowWarnsAndStillLoads)
{
    app->setMainQmlFileName("qml/TestMain.qml");
    EXPECT_EQ(app->mainQmlFileName(), "qml/TestMain.qml");
    MessageLog log;
    app->loadQmlFile();
    EXPECT_TRUE(log.contains("WARNING: ZanthApplication: no GameWindow item found, so could not set the "
                             "rootGameWindow contextProperty as well!"));
    QQuickItem* root = app->declarativeView()->rootObject();
    ASSERT_NE(root, nullptr);
    // Bindings evaluated while the file loads see false, later reads see true.
    EXPECT_FALSE(root->property("validWhileLoading").toBool());
    EXPECT_TRUE(app->declarativeView()->rootContext()->contextProperty("contentScaleFactorValid").toBool());
    EXPECT_TRUE(app->loaded());
    EXPECT_EQ(root->property("title").toString(), "Test Game");
    EXPECT_NE(app->declarativeView()->engine()->baseUrl(), QUrl("."));
}

TEST(ZanthApplicationStartTest, missingMainFileKeepsTheNameAndWarns)
{
    app->setMainQmlFileName("qml/TestMain.qml");
    MessageLog log;
    app->setMainQmlFileName("qml/Nowhere.qml");
    EXPECT_EQ(app->mainQmlFileName(), "qml/TestMain.qml");
    EXPECT_TRUE(log.contains("ERROR: the mainQmlFile could not be found! qmlFileName: \"qml/Nowhere.qml\""));
}

TEST(ZanthApplicationQmlTest, singleServicesCannotBeCreatedInQml)
{
    const QString system = componentError("import QtQuick 2.15\nimport Zanth 1.0\nSystem {}\n");
    EXPECT_TRUE(
        system.contains("Creation of System is not allowed, this is set by the system and only exists "
                        "once in the application."))
        << system.toStdString();
    const QString fileUtils = componentError("import QtQuick 2.15\nimport Zanth 1.0\nFileUtils {}\n");
    EXPECT_TRUE(fileUtils.contains("Creation of FileUtils is not allowed, this is set by the system and only "
                                   "exists once in the application."))
        << fileUtils.toStdString();
    const QString scheduler = componentError("import QtQuick 2.15\nimport Zanth 1.0\nZanthScheduler {}\n");
    EXPECT_TRUE(
        scheduler.contains("Creation of ZanthScheduler is not allowed, this is set by the system and only "
                           "exists once in the application."))
        << scheduler.toStdString();
}

TEST(ZanthApplicationQmlTest, stringifyAndParseRoundTripFromQml)
{
    QQmlComponent component(app->declarativeView()->engine());
    component.setData(
        "import QtQuick 2.15\nimport Zanth 1.0\nQtObject {\n"
        "  property string text: system.stringify({name: \"fire\", size: 3, list: [1, \"a\", true],"
        " nested: {x: 0.5}})\n"
        "  property var back: system.parse(text)\n"
        "  property bool platformLinux: system.isPlatform(System.Linux)\n"
        "  property string numberType: system.typeOf(5)\n"
        "  property string pointType: system.typeOf(Qt.point(1, 2))\n"
        "  property string undefinedType: system.typeOf(undefined)\n"
        "}\n",
        QUrl::fromLocalFile(folder + "/roundtrip.qml"));
    std::unique_ptr<QObject> object(component.create());
    ASSERT_TRUE(object) << component.errorString().toStdString();
    EXPECT_EQ(object->property("text").toString(), "{ \"list\" : [ 1.0, \"a\", true ], \"name\" : \"fire\", "
                                                   "\"nested\" : { \"x\" : 0.5 }, \"size\" : 3.0 }");
    const QVariantMap back = object->property("back").toMap();
    EXPECT_EQ(back.value("name").toString(), "fire");
    EXPECT_DOUBLE_EQ(back.value("size").toDouble(), 3.0);
    EXPECT_EQ(back.value("list").toList().size(), 3);
    EXPECT_DOUBLE_EQ(back.value("nested").toMap().value("x").toDouble(), 0.5);
    EXPECT_TRUE(object->property("platformLinux").toBool());
    EXPECT_EQ(object->property("numberType").toString(), "double");
    EXPECT_EQ(object->property("pointType").toString(), "point");
    EXPECT_EQ(object->property("undefinedType").toString(), "null");
}

TEST(ZanthApplicationRendererTest, disablingBothRenderersIsRefusedEitherWay)
{
    MessageLog log;
    app->setQmlRendererEnabled(false);
    app->setSceneGraphRendererEnabled(false);
    EXPECT_TRUE(app->sceneGraphRendererEnabled());
    EXPECT_TRUE(log.contains("ZanthApplication: WARNING: disabling the sceneGraphRenderer is not possible"));
    app->setQmlRendererEnabled(true);
    app->setSceneGraphRendererEnabled(false);
    EXPECT_FALSE(app->system()->sceneGraphRenderer());
    app->setQmlRendererEnabled(false);
    EXPECT_TRUE(app->qmlRendererEnabled());
    EXPECT_TRUE(log.contains("ZanthApplication: WARNING: disabling the QML renderer is not possible"));
    app->setSceneGraphRendererEnabled(true);
    app->setQmlRendererEnabled(false);
    EXPECT_TRUE(app->system()->sceneGraphRenderer());
}

TEST(ZanthApplicationRendererTest, sceneGraphStartLoadsOnLaunchAndMirrorsAfterSizing)
{
    // Lives as long as the application, which keeps the bridge.
    static QStringList calls;
    app->setSceneGraphBridge(std::make_unique<RecordingBridge>(&calls));
    app->setQmlRendererEnabled(false);
    app->setMainQmlFileName("qml/TestMain.qml");
    app->declarativeView()->resize(320, 200);
    app->declarativeView()->hide();
    calls.clear();
    EXPECT_EQ(app->startApplication(), 7);
    EXPECT_EQ(calls, QStringList({"run", "resize 320x200", "windowSizeChanged", "initialized 1",
                                  "mirror testRoot", "started 1"}));
    QQmlContext* context = app->declarativeView()->rootContext();
    EXPECT_NE(context->contextProperty("translation").value<QObject*>(), nullptr);
    EXPECT_TRUE(componentError("import QtQuick 2.15\nimport Zanth 1.0\nZanthTranslation {}\n")
                    .contains("Creation of ZanthTranslation is not allowed"));
    EXPECT_NE(context->contextProperty("sceneGraphWrapper").value<QObject*>(), nullptr);
    EXPECT_FALSE(app->declarativeView()->isVisible());

    calls.clear();
    app->updateWindowSize(QSize(320, 200));
    EXPECT_TRUE(calls.isEmpty());
    app->updateWindowSize(QSize(640, 400));
    EXPECT_EQ(calls, QStringList({"resize 640x400", "windowSizeChanged"}));

    calls.clear();
    app->declarativeView()->resize(500, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, QStringList({"resize 500x300", "windowSizeChanged"}));
    EXPECT_TRUE(app->reshape(QSize(500, 300)));

    calls.clear();
    QMetaObject::invokeMethod(app->declarativeView()->rootObject(), "leave");
    EXPECT_FALSE(app->loaded());
    EXPECT_EQ(calls, QStringList({"started 0", "end"}));
    EXPECT_FALSE(app->reshape(QSize(100, 100)));
}

// The start loads the main file's types before the window is there; a file with an error is still told
// of once, when the view loads it, and nothing is created.
TEST(ZanthApplicationRendererTest, aMainFileWithAnErrorIsToldOfOnceByTheStart)
{
    writeTestFile(folder + "/qml/Broken.qml", "import QtQuick 2.15\nItem {\n  notAProperty: 1\n}\n");
    static QStringList calls;
    app->setSceneGraphBridge(std::make_unique<RecordingBridge>(&calls));
    app->setQmlRendererEnabled(false);
    app->setMainQmlFileName("qml/Broken.qml");
    MessageLog log;
    EXPECT_EQ(app->startApplication(), 7);
    EXPECT_EQ(log.lines().filter("notAProperty").size(), 1) << log.lines().join('\n').toStdString();
    EXPECT_EQ(app->declarativeView()->rootObject(), nullptr);
}

TEST(ZanthApplicationRendererTest, compiledInMainFileLoadsWithTheWorkingFolderAsBase)
{
    app->setMainQmlFileName(":/qml/Zanth/core/Storage.qml");
    app->loadQmlFile();
    ASSERT_NE(app->declarativeView()->rootObject(), nullptr);
    EXPECT_TRUE(app->declarativeView()->rootObject()->property("cacheEnabled").toBool());
    EXPECT_EQ(app->declarativeView()->engine()->baseUrl(), QUrl("."));
}

int main(int argc, char** argv)
{
    QTemporaryDir dir;
    folder = dir.path();
    writeTestFile(
        folder + "/qml/config.json",
        "{ \"title\": \"Test Game\", \"identifier\": \"com.example.test\", \"versionname\": \"2.5\","
        " \"stage\": \"test\", \"orientation\": \"landscape\" }");
    writeTestFile(folder + "/qml/TestMain.qml",
                  "import QtQuick 2.15\nItem {\n  objectName: \"testRoot\"\n"
                  "  property bool validWhileLoading: true\n"
                  "  Component.onCompleted: validWhileLoading = contentScaleFactorValid\n"
                  "  property string title: Qt.application.name\n"
                  "  function leave() { Qt.quit() }\n}\n");
    writeTestFile(folder + "/plugins/linux/.keep", "");
    writeTestFile(folder + "/plugins/generic/GameOwn/qmldir", "module GameOwn\nMarker 1.0 Marker.qml\n");
    writeTestFile(folder + "/plugins/generic/GameOwn/Marker.qml", "import QtQuick 2.15\nItem {}\n");
    QDir::setCurrent(folder);
    testing::InitGoogleTest(&argc, argv);
    int result = 0;
    {
        ZanthApplication application(argc, argv);
        app = &application;
        application.registerDeclarativeItems();
        result = RUN_ALL_TESTS();
    }
    return result;
}
