// A game's start-up as its main() would write it: the scene-graph renderer only, run from the working
// folder that holds qml/main.qml and qml/config.json. Built as the bridge tests' StartupProgram and as the
// QML tests' GameProgram, which also links the application's resource tree (its plug-in modules).

#include "zanthapplication.h"

#include <cstdio>

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    int status = 0;
    {
        ZanthApplication app(argc, argv);
        app.setQmlRendererEnabled(false);
        status = app.startApplication();
    }
    std::printf("exit %d\n", status);
    return status;
}
