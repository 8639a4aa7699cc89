// Embervale's main menu on the engine started in the test process. Hidden, it shows nothing of its
// "Main Menu" and "Particles" pages, which are made once the first frame is on the screen; whatever
// reaches for the menu sooner (its pull-up pressed, a slide, the paging keys) makes them at once, in the
// same order and with the same page first. The start effect is on the stage from the start.

#include <gtest/gtest.h>

#include "InProcessEmbervale.h"
#include "QtPrinters.h"

#include <QKeyEvent>

namespace {

InProcessEngine* engine = nullptr;

// Loads the main file as the program does, without drawing a frame; the window takes the main window's
// size as in a fresh start.
QQuickItem* loadWithoutFrames()
{
    engine->view().resize(1, 1);
    engine->application().setMainQmlFileName(QStringLiteral(":/qml/EmbervaleMain.qml"));
    engine->application().loadQmlFile();
    return engine->view().rootObject();
}

// The main menu's pages by name, in their order.
QStringList pages(QQuickItem* window)
{
    return js(window, "scene.mainMenu.__pages.map(function(p) { return p.groupName })").toStringList();
}

// The texts of the effects list's buttons.
QStringList listedEffects(QQuickItem* window)
{
    QStringList texts;
    for (QQuickItem* item : window->findChildren<QQuickItem*>()) {
        if (QString::fromLatin1(item->metaObject()->className()).startsWith("ParticleButton"))
            texts << item->property("text").toString();
    }
    return texts;
}

void pressKey(int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&engine->view(), &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&engine->view(), &release);
}

} // namespace

TEST(MainMenu, thePagesAreMadeOnceTheFirstFrameIsShownWhileTheStartEffectIsThereFromTheStart)
{
    QQuickItem* window = loadWithoutFrames();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(pages(window).isEmpty());
    EXPECT_EQ(js(window, "scene.effectEntities().map(function(e) { return e.particleType })").toStringList(),
              QStringList{"FireParticle.json"});
    engine->stepFrames(1);
    EXPECT_TRUE(pages(window).isEmpty()) << "the first frame is drawn without them";
    ASSERT_TRUE(engine->stepFramesUntil([&] { return !pages(window).isEmpty(); }));
    EXPECT_EQ(pages(window), (QStringList{"Main Menu", "Particles"}));
    EXPECT_EQ(js(window, "scene.mainMenu.currentGroup").toString(), "Main Menu");
    EXPECT_TRUE(listedEffects(window).contains("FireParticle"));
    EXPECT_EQ(js(window, "scene.effectEntities().length").toInt(), 1) << "made once";
}

TEST(MainMenu, pressingThePullUpBeforeTheFirstFrameMakesThePagesAtOnce)
{
    QQuickItem* window = loadWithoutFrames();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(pages(window).isEmpty());
    ASSERT_TRUE(js(window,
                   "(function() { var c = scene.mainMenuWrapper.pullUp.children; "
                   "for (var i = 0; i < c.length; ++i) if (String(c[i]).indexOf('MultiTouchArea') === 0) "
                   "{ c[i].pressed(null); return true } return false })()")
                    .toBool());
    EXPECT_EQ(pages(window), (QStringList{"Main Menu", "Particles"}));
    EXPECT_EQ(js(window, "scene.mainMenu.currentGroup").toString(), "Main Menu");
    EXPECT_FALSE(js(window, "scene.mainMenu.visible").toBool()) << "pressed, not yet moved";
}

TEST(MainMenu, aSlideInBeforeTheFirstFrameShowsTheMadePages)
{
    QQuickItem* window = loadWithoutFrames();
    ASSERT_NE(window, nullptr);
    js(window, "scene.mainMenuWrapper.slideIn()");
    EXPECT_EQ(pages(window), (QStringList{"Main Menu", "Particles"}));
    ASSERT_TRUE(engine->stepFramesUntil(
        [&] { return js(window, "scene.mainMenu.visible && scene.mainMenu.state === ''").toBool(); }));
    EXPECT_EQ(js(window, "scene.mainMenu.currentGroup").toString(), "Main Menu");
    EXPECT_TRUE(
        js(window, "scene.mainMenu.__pages[0].visible && !scene.mainMenu.__pages[1].visible").toBool());
}

TEST(MainMenu, thePagingKeysBeforeTheFirstFrameTurnThePagesAsLaterOn)
{
    QQuickItem* window = loadWithoutFrames();
    ASSERT_NE(window, nullptr);
    pressKey(Qt::Key_D);
    EXPECT_EQ(js(window, "scene.mainMenu.currentGroup").toString(), "Particles");
    pressKey(Qt::Key_A);
    EXPECT_EQ(js(window, "scene.mainMenu.currentGroup").toString(), "Main Menu");
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
