// Embervale's entry point: everything the user sees is QML from the application's resource tree, drawn
// through the scene graph only.

#include "zanthapplication.h"

#include <QtCore/qglobal.h>

int main(int argc, char** argv)
{
    // The window and its GL driver take longest to start: they get ready alongside the application.
    ZanthApplication::prepareSceneGraphWindow();
    ZanthApplication app(argc, argv);
    app.setMainQmlFileName(QStringLiteral(":/qml/EmbervaleMain.qml"));
    app.setQmlRendererEnabled(false);
    // Also registered by a static initialiser; registering twice changes nothing.
    Q_INIT_RESOURCE(resources_zanth);
    return app.startApplication();
}
