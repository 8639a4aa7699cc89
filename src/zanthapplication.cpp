#include "zanthapplication.h"

#include "fpsqmlviewer.h"
#include "nativeutils.h"
#include "qmltyperegistry.h"
#include "scenegraphbridge.h"
#include "system.h"
#include "zanthfileutils.h"
#include "zanthnetworkaccessmanagerfactory.h"
#include "zanthscenegraphbridge.h"
#include "zanthscheduler.h"
#include "zanthtranslation.h"
#include "ztnodeitem.h"

#include "ZTDirector.h"
#include "platform/linux/DesktopWindow.h"
#include "sprite_nodes/ZTSpriteFrameCache.h"

#include <QAccessible>
#include <QApplication>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFont>
#include <QFontDatabase>
#include <QPointer>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QThread>

#include <climits>
#include <clocale>

#include <langinfo.h>
#include <strings.h>

namespace {
const char* const kFileUtilsMessage = "Creation of FileUtils is not allowed, this is set by the system and "
                                      "only exists once in the application.";
const char* const kTranslationMessage = "Creation of ZanthTranslation is not allowed, this is set by the "
                                        "system and only exists once in the application.";
const char* const kSchedulerMessage = "Creation of ZanthScheduler is not allowed, this is set by the system "
                                      "and only exists once in the application.";

// The bridge's own item bases; the bridge sits below the type table, so their rows are added here.
const QmlTypeRegistrar observerRow(10, [] {
    qmlRegisterType<VisualItemPropertyObserver>("Zanth", 1, 0, "VisualItemPropertyObserver");
});
const QmlTypeRegistrar nodeItemRow(18, [] { qmlRegisterType<ZTNodeItem>("Zanth", 1, 0, "ZTItem"); });

const QmlTypeRegistrar schedulerRow(QmlTypeRows::ZanthScheduler, [] {
    qmlRegisterUncreatableType<ZanthScheduler>("Zanth", 1, 0, "ZanthScheduler", kSchedulerMessage);
});

// The size the scene graph opens its window at (the application delegate's); the root item then sizes it.
constexpr int kSceneGraphWindowWidth = 960;
constexpr int kSceneGraphWindowHeight = 640;

// How often the first frame is looked for inside an event loop (a modal dialog's), where no frame is drawn.
constexpr int kFirstFrameCheckInEventLoopMs = 16;

// Set when the window is prepared only once the Qt application has settled the locale.
bool s_prepareWindowAfterQt = false;

bool localeIsUtf8()
{
    const char* codeset = nl_langinfo(CODESET);
    return codeset && (strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "utf8") == 0);
}

// The root game window: the root object itself or the first GameWindowItem below it.
QObject* findGameWindowItem(QObject* root)
{
    if (!root)
        return nullptr;
    if (root->inherits("GameWindowItem"))
        return root;
    const auto descendants = root->findChildren<QObject*>();
    for (QObject* object : descendants) {
        if (object->inherits("GameWindowItem"))
            return object;
    }
    return nullptr;
}
} // namespace

void ZanthApplication::prepareSceneGraphWindow()
{
    // The window system's input method follows the locale it finds, which is the one the Qt application
    // sets first: the environment's. Qt leaves that as it is when it is UTF-8 (setting it again then
    // changes nothing the window's thread reads); otherwise it changes it, and the window is made once
    // the application is there.
    setlocale(LC_ALL, "");
    if (localeIsUtf8())
        zanth2d::DesktopWindow::prepareWindow(kSceneGraphWindowWidth, kSceneGraphWindowHeight);
    else
        s_prepareWindowAfterQt = true;
}

ZanthApplication::ZanthApplication(int& argc, char** argv, QObject* parent) : QObject(parent)
{
    m_qtApplication.reset(new QApplication(argc, argv));
    if (s_prepareWindowAfterQt) {
        s_prepareWindowAfterQt = false;
        zanth2d::DesktopWindow::prepareWindow(kSceneGraphWindowWidth, kSceneGraphWindowHeight);
    }
    createServicesAndView(nullptr);
    init();
}

ZanthApplication::ZanthApplication(QObject* parent) : QObject(parent)
{
    createServicesAndView(nullptr);
    init();
}

ZanthApplication::ZanthApplication(QmlApplicationViewer& viewer, QObject* parent) : QObject(parent)
{
    createServicesAndView(&viewer);
    init();
}

ZanthApplication::~ZanthApplication()
{
    zanth2d::DesktopWindow::discardPreparedWindow();
    // Before the engine it was loaded by.
    m_preloadedMainComponent.reset();
    if (m_ownsView)
        delete m_view;
    m_sceneGraph.reset();
    // The services go before the Qt application they were made for.
    const auto services = children();
    qDeleteAll(services);
}

void ZanthApplication::createServicesAndView(QmlApplicationViewer* viewer)
{
    // System makes the first configuration read, so it comes before every other key is looked up.
    m_system = new System(this, this);
    const QString title = System::getConfigValue(QStringLiteral("title")).toString();
    const QString identifier = System::getConfigValue(QStringLiteral("identifier")).toString();
    QCoreApplication::setApplicationName(title);
    QCoreApplication::setOrganizationDomain(identifier);
    // The offline storage of QML is kept below the organisation and application names.
    QCoreApplication::setOrganizationName(identifier);
    QCoreApplication::setApplicationVersion(System::getConfigValue(QStringLiteral("versionname")).toString());
    if (viewer) {
        m_view = viewer;
    } else {
        // The scene graph is the only renderer: Qt Quick must never touch OpenGL.
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        // Qt Quick holds back touch moves until the window renders a frame; this view never renders, so
        // a held-back move would wait for the next touch event and drags would stall.
        qputenv("QML_NO_TOUCH_COMPRESSION", "1");
        // Games read their own JSON files (levels, sprite sheets, cached requests) through XMLHttpRequest.
        qputenv("QML_XHR_ALLOW_FILE_READ", "1");
        m_view = new FpsQMLViewer();
        m_ownsView = true;
    }
}

void ZanthApplication::init()
{
    // The frame pump runs Qt's events once a frame, outside any event loop: a zero interval checks once a
    // frame. A modal dialog's event loop draws no frame and would spin on it: there it checks once a
    // frame's time.
    m_firstFrameCheck.setInterval(0);
    connect(&m_firstFrameCheck, &QTimer::timeout, this, [this] {
        if (zanth2d::ZTDirector::sharedDirector()->getTotalFrames() > m_framesBeforeLoad) {
            setFirstFrameShown(true);
            return;
        }
        m_firstFrameCheck.setInterval(
            QThread::currentThread()->loopLevel() > 0 ? kFirstFrameCheckInEventLoopMs : 0);
    });

    // Qt 6 reads and writes UTF-8 everywhere, so there are no codecs to set.
    QFont font;
    font.setPixelSize(14);
    const QString fontFile = ZanthFileUtils::findFileOrDirectoryIncludingResources(
        QStringLiteral("qml/Zanth/fonts/pts-regular.ttf"));
    const int fontId = fontFile.isEmpty() ? -1 : QFontDatabase::addApplicationFont(fontFile);
    if (fontId >= 0) {
        const QStringList families = QFontDatabase::applicationFontFamilies(fontId);
        if (!families.isEmpty())
            font.setFamily(families.first());
    }
    QGuiApplication::setFont(font);

    // A Qt Quick view has no scene-resize signal: its own size changes stand for it.
    connect(m_view, &QWindow::widthChanged, this, [this] { sceneResized(m_view->size()); });
    connect(m_view, &QWindow::heightChanged, this, [this] { sceneResized(m_view->size()); });
    connect(m_view->engine(), &QQmlEngine::quit, this, &ZanthApplication::quitApp);
    // The engine keeps the factory without owning it; it goes with the engine.
    auto* networkFactory = new ZanthNetworkAccessManagerFactory();
    m_view->engine()->setNetworkAccessManagerFactory(networkFactory);
    connect(m_view->engine(), &QObject::destroyed, [networkFactory] { delete networkFactory; });

    QQmlContext* context = m_view->rootContext();
    m_nativeUtils = new NativeUtils(m_view, this);
    context->setContextProperty(QStringLiteral("nativeUtils"), m_nativeUtils);
    m_fileUtils = new ZanthFileUtils(this);
    context->setContextProperty(QStringLiteral("fileUtils"), m_fileUtils);
    qmlRegisterUncreatableType<ZanthFileUtils>("Zanth", 1, 0, "FileUtils", kFileUtilsMessage);
    context->setContextProperty(QStringLiteral("ZanthApplication"), this);

    m_view->setOrientation(m_system->screenOrientation());

    m_sceneGraphRendererEnabled = true;
    m_system->setSceneGraphRendererEnabled(true);
    m_qmlRendererEnabled = true;

    m_mainQmlFileName = ZanthFileUtils::findFileOrDirectoryIncludingResources(QStringLiteral("qml/main.qml"));

    // Numbers are read and written with a decimal point whatever the user's locale.
    setlocale(LC_NUMERIC, "C");

    addCustomImportPaths();
}

void ZanthApplication::addCustomImportPaths()
{
    QStringList paths;
    paths << ZanthFileUtils::findFileOrDirectoryIncludingResources(QStringLiteral("qml"));
    for (const QString& name : {QStringLiteral("plugins/linux"), QStringLiteral("plugins/generic")}) {
        const QString found = ZanthFileUtils::findFileOrDirectoryIncludingResources(name);
        paths << found;
        // A game's own plug-in folder on disk comes first, but the engine's modules compiled in under the
        // same name (the widgets' skin) stay behind it: without them the widgets would not load at all.
        const QString compiled = QStringLiteral(":/") + name;
        if (!found.isEmpty() && found != compiled && QFileInfo::exists(compiled))
            paths << compiled;
    }
    if (!paths.contains(QStringLiteral(":/qml")))
        paths << QStringLiteral(":/qml");
    // The engine puts each added path in front, so adding from the last makes the first win.
    QQmlEngine* engine = m_view->engine();
    for (auto it = paths.crbegin(); it != paths.crend(); ++it) {
        if (!it->isEmpty())
            engine->addImportPath(*it);
    }
}

void ZanthApplication::setMainQmlFileName(const QString& name)
{
    const QString resolved = ZanthFileUtils::findFileOrDirectoryIncludingResources(name);
    if (resolved.isEmpty()) {
        qWarning() << "ERROR: the mainQmlFile could not be found! qmlFileName:" << name;
        return;
    }
    m_mainQmlFileName = resolved;
}

void ZanthApplication::setQmlRendererEnabled(bool enabled)
{
    if (!enabled && !m_sceneGraphRendererEnabled) {
        qWarning(
            "ZanthApplication: WARNING: disabling the QML renderer is not possible, because scene-graph "
            "renderer is also disabled and thus no renderer would be active; enable scene-graph renderer "
            "first before disabling QML renderer");
        return;
    }
    m_qmlRendererEnabled = enabled;
}

void ZanthApplication::setSceneGraphRendererEnabled(bool enabled)
{
    if (!enabled && !m_qmlRendererEnabled) {
        qWarning("ZanthApplication: WARNING: disabling the sceneGraphRenderer is not possible, because QML "
                 "renderer is also disabled and thus no renderer would be active; enable QML renderer first "
                 "before disabling scene-graph renderer");
        return;
    }
    m_sceneGraphRendererEnabled = enabled;
    m_system->setSceneGraphRendererEnabled(enabled);
}

void ZanthApplication::setLogMessagesEnabled(bool enabled)
{
    m_system->setLogOutputEnabled(enabled);
}

void ZanthApplication::setSceneGraphBridge(std::unique_ptr<SceneGraphBridge> bridge)
{
    m_sceneGraph = std::move(bridge);
}

void ZanthApplication::registerDeclarativeItems()
{
    QmlTypeRegistry::registerRows(INT_MIN, QmlTypeRows::LastItemRow);
    // Nothing is registered into QtQuick: every "import QtQuick" would fail. The engine's Image lives
    // in Zanth 1.0, which the engine's QML imports after QtQuick.
    m_view->rootContext()->setContextProperty(QStringLiteral("system"), m_system);
    QmlTypeRegistry::registerRows(QmlTypeRows::System, INT_MAX);
}

int ZanthApplication::startApplication()
{
    if (!m_sceneGraphRendererEnabled)
        zanth2d::DesktopWindow::discardPreparedWindow();
    registerDeclarativeItems();
    if (m_sceneGraphRendererEnabled) {
        if (!m_sceneGraph)
            m_sceneGraph = std::make_unique<ZanthSceneGraphBridge>(*m_view, &System::getConfigValue);
        m_translation = new ZanthTranslation(this);
        m_view->rootContext()->setContextProperty(QStringLiteral("translation"), m_translation);
        qmlRegisterUncreatableType<ZanthTranslation>("Zanth", 1, 0, "ZanthTranslation", kTranslationMessage);
        m_view->rootContext()->setContextProperty(QStringLiteral("sceneGraphWrapper"),
                                                  m_sceneGraph->wrapper());
        m_nativeUtils->setSceneGraphCacheClearer([wrapper = QPointer<QObject>(m_sceneGraph->wrapper())] {
            zanth2d::ZTSpriteFrameCache::sharedSpriteFrameCache()->removeUnusedSpriteFrames();
            if (wrapper)
                QMetaObject::invokeMethod(wrapper, "removeUnusedSpriteBatchNodes");
            zanth2d::ZTDirector::sharedDirector()->purgeCachedData();
        });
        prepareWhileTheWindowIsMade();
        // The main QML file loads only once the GL window, director and scene exist.
        return m_sceneGraph->run([this] { loadQmlFile(); });
    }
    if (m_qmlRendererEnabled) {
        loadQmlFile();
        return QApplication::exec();
    }
    return 0;
}

QUrl ZanthApplication::mainQmlSource()
{
    if (!m_mainQmlFileName.startsWith(QLatin1String(":/")) &&
        !m_mainQmlFileName.startsWith(QLatin1String("qrc:/")))
        return QUrl::fromLocalFile(m_mainQmlFileName);
    m_view->engine()->setBaseUrl(QUrl(QStringLiteral(".")));
    // Qt 6 loads compiled-in files only through qrc URLs.
    return m_mainQmlFileName.startsWith(QLatin1Char(':')) ? QUrl(QStringLiteral("qrc") + m_mainQmlFileName)
                                                          : QUrl(m_mainQmlFileName);
}

QObject* ZanthApplication::rootGameWindow() const
{
    return findGameWindowItem(m_view->rootObject());
}

void ZanthApplication::loadQmlFile()
{
    if (m_mainQmlFileName.isEmpty())
        qWarning("ERROR: ZanthApplication: no QML file found - either create a 'qml/main.qml' file as "
                 "starting point "
                 "or call your entry QML file with setMainQmlFileName()");

    QQmlContext* context = m_view->rootContext();
    context->setContextProperty(QStringLiteral("contentScaleFactorValid"), false);
    setFirstFrameShown(false);

    m_view->setSource(mainQmlSource());
    m_preloadedMainComponent.reset();
    // The view is never shown and so never focused: without this no item gets active focus and keys are lost.
    QFocusEvent focusIn(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(m_view, &focusIn);

    if (m_qmlRendererEnabled)
        m_view->showExpanded();

    QObject* gameWindow = rootGameWindow();
    // Also when there is none: a game window of an earlier file must not stay published.
    context->setContextProperty(QStringLiteral("rootGameWindow"), gameWindow);
    if (!gameWindow)
        qWarning("WARNING: ZanthApplication: no GameWindow item found, so could not set the rootGameWindow "
                 "contextProperty as well!");

    if (m_sceneGraphRendererEnabled && m_sceneGraph) {
        m_sceneGraph->resize(m_view->width(), m_view->height());
        m_sceneGraph->windowSizeChanged();
    }
    context->setContextProperty(QStringLiteral("contentScaleFactorValid"), true);
    if (gameWindow) {
        const auto descendants = gameWindow->findChildren<QObject*>();
        for (QObject* object : descendants) {
            if (object->inherits("ContentScaleFactorObject"))
                QMetaObject::invokeMethod(object, "emitContentScaleFactorValidSignal");
        }
    }
    if (m_sceneGraphRendererEnabled && m_sceneGraph) {
        m_sceneGraph->setInitialized(true);
        if (gameWindow)
            m_sceneGraph->setDisplayFps(gameWindow->property("displayFpsEnabled").toBool());
        m_sceneGraph->createSceneGraphTreeFromQmlTree(m_view->rootObject());
    }
    if (m_sceneGraph)
        m_sceneGraph->setAppStarted(true);
    m_loaded = true;
    watchForFirstFrame();
}

void ZanthApplication::prepareWhileTheWindowIsMade()
{
    // Both happen in the view's setSource anyway; here they take place while a prepared window is still
    // being made, rather than after it. The main file's types load (the view's component then finds them
    // loaded), but nothing is created.
    if (!m_mainQmlFileName.isEmpty())
        m_preloadedMainComponent = std::make_unique<QQmlComponent>(m_view->engine(), mainQmlSource());
    // Qt connects its accessibility bridge to the session bus the first time an item changes its size.
    QAccessible::isActive();
}

void ZanthApplication::watchForFirstFrame()
{
    if (m_sceneGraphRendererEnabled && m_sceneGraph) {
        m_framesBeforeLoad = zanth2d::ZTDirector::sharedDirector()->getTotalFrames();
        m_firstFrameCheck.start(0);
    } else if (m_qmlRendererEnabled) {
        connect(
            m_view, &QQuickWindow::frameSwapped, this, [this] { setFirstFrameShown(true); },
            Qt::SingleShotConnection);
    }
}

void ZanthApplication::setFirstFrameShown(bool shown)
{
    if (shown)
        m_firstFrameCheck.stop();
    if (m_firstFrameShown == shown)
        return;
    m_firstFrameShown = shown;
    emit firstFrameShownChanged();
}

void ZanthApplication::updateWindowSize(QSize size)
{
    if (m_sceneGraphRendererEnabled && m_sceneGraph && m_sceneGraph->size() != size) {
        m_sceneGraph->resize(size.width(), size.height());
        m_sceneGraph->windowSizeChanged();
    }
    if (m_qmlRendererEnabled)
        m_view->resize(size);
}

bool ZanthApplication::reshape(QSize size)
{
    if (!m_loaded)
        return false;
    if (m_qmlRendererEnabled)
        m_view->resize(size);
    if (QObject* gameWindow = rootGameWindow()) {
        gameWindow->setProperty("width", size.width());
        gameWindow->setProperty("height", size.height());
    }
    if (m_sceneGraphRendererEnabled && m_sceneGraph)
        m_sceneGraph->windowSizeChanged();
    return true;
}

void ZanthApplication::sceneResized(QSize size)
{
    if (!m_loaded || !m_sceneGraphRendererEnabled || !m_sceneGraph)
        return;
    if (m_sceneGraph->size() != size) {
        m_sceneGraph->resize(size.width(), size.height());
        m_sceneGraph->windowSizeChanged();
    }
}

void ZanthApplication::quitApp()
{
    m_loaded = false;
    if (m_sceneGraph) {
        m_sceneGraph->setAppStarted(false);
        m_sceneGraph->endDirector();
    }
}
