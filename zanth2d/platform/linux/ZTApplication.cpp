#include "platform/linux/ZTApplication.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <cstdio>

#include "ZTDirector.h"
#include "ZTMacros.h"
#include "platform/linux/ZTDirectorCaller.h"
#include "platform/linux/ZTEGLView.h"

namespace zanth2d {

ZTApplication* ZTApplication::sm_pSharedApplication = nullptr;

ZTApplication::ZTApplication()
{
    ZTAssert(!sm_pSharedApplication, "! sm_pSharedApplication");
    sm_pSharedApplication = this;
}

ZTApplication::~ZTApplication()
{
    ZTAssert(this == sm_pSharedApplication, "this == sm_pSharedApplication");
    sm_pSharedApplication = nullptr;
}

int ZTApplication::run()
{
    // Drawing into a window that never opened would only hide the failure: stop and say so.
    if (!initInstance()) {
        std::fprintf(stderr, "ZTApplication: ERROR: the window could not be created, start-up stopped\n");
        return 1;
    }
    if (!applicationDidFinishLaunching()) {
        std::fprintf(stderr, "ZTApplication: ERROR: the application did not finish launching, start-up stopped\n");
        return 1;
    }
    ZTDirectorCaller::sharedDirectorCaller()->startMainLoop();
    return 0;
}

void ZTApplication::setAnimationInterval(double seconds)
{
    ZTDirectorCaller::sharedDirectorCaller()->setAnimationInterval(seconds);
}

int ZTApplication::setOrientation(int orientation)
{
    ZTDirector* director = ZTDirector::sharedDirector();
    if (ZTEGLView* view = director->getOpenGLView()) {
        return view->setDeviceOrientation(orientation);
    }
    return director->getDeviceOrientation();
}

void ZTApplication::statusBarFrame(ZTRect* rect)
{
    if (rect) {
        *rect = ZTRectZero;
    }
}

int ZTApplication::getCurrentLanguage()
{
    const QStringList languages = QLocale().uiLanguages();
    if (languages.isEmpty()) {
        return 0;
    }
    const QString code = languages.first().split(QRegularExpression(QStringLiteral("[-_]"))).first();
    return code == QLatin1String("zh") ? 1 : 0;
}

ZTApplication& ZTApplication::sharedApplication()
{
    ZTAssert(sm_pSharedApplication, "sm_pSharedApplication");
    return *sm_pSharedApplication;
}

bool ZTApplication::hasSharedApplication()
{
    return sm_pSharedApplication != nullptr;
}

} // namespace zanth2d
