// The main menu's actions in Embervale itself, on the engine started in the test process: its buttons
// pressed, its dialogs answered, and the editor, the effects and the files looked at afterwards.

#include <gtest/gtest.h>

#include "InProcessEmbervale.h"
#include "MessageLog.h"
#include "QtPrinters.h"

#include "base_nodes/ZTNode.h"
#include "cocoa/ZTArray.h"
#include "items/particleitem.h"
#include "particle_nodes/ZTParticleSystem.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QUrlQuery>
#include <QWindow>

#include <memory>
#include <vector>

namespace {

InProcessEngine* engine = nullptr;

// Takes the mailto: URLs the program hands to the desktop while it lives.
class MailCatcher : public QObject
{
    Q_OBJECT

public:
    MailCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "take"); }
    ~MailCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("mailto")); }

    const QList<QUrl>& mails() const { return m_mails; }

public slots:
    void take(const QUrl& url) { m_mails << url; }

private:
    QList<QUrl> m_mails;
};

// The user's folder of saved effects.
QString storageFolder(QQuickItem* window)
{
    return QUrl(js(window, "fileUtils.getDataStorageUrl(scene.storageLocation)").toString()).toLocalFile();
}

// A plain file where the folder should be: nothing can be written into it, whoever runs the test.
void blockStorage(QQuickItem* window)
{
    QString folder = storageFolder(window);
    while (folder.endsWith('/'))
        folder.chop(1);
    QDir(folder).removeRecursively();
    writeTestFile(folder, "in the way");
}

void clearStorage(QQuickItem* window)
{
    QString folder = storageFolder(window);
    while (folder.endsWith('/'))
        folder.chop(1);
    QFile::remove(folder);
    QDir(folder).removeRecursively();
}

// Presses the main menu's button of that text (the dialogs it opens are answered meanwhile).
void press(QQuickItem* window, const QString& text)
{
    for (QQuickItem* item : window->findChildren<QQuickItem*>()) {
        if (QString::fromLatin1(item->metaObject()->className()).startsWith("MenuButton") &&
            item->property("text").toString() == text) {
            QMetaObject::invokeMethod(item, "clicked");
            return;
        }
    }
    ADD_FAILURE() << "no button " << text.toStdString();
}

QStringList types(QQuickItem* window)
{
    return js(window, "scene.itemEditor.getAllEditableTypes()").toStringList();
}

// particleType, whether it loads from the user's folder, and its editable type, of every effect.
QStringList effects(QQuickItem* window)
{
    return js(window, "scene.effectEntities().map(function(e) { return e.particleType + ' ' + "
                      "e.dataStorageLocation + ' ' + e.editableComponent.editableType })")
        .toStringList();
}

QList<ParticleItem*> particles(QQuickItem* window)
{
    QList<ParticleItem*> all;
    for (const QVariant& p :
         js(window, "scene.effectEntities().map(function(e) { return e.particle })").toList())
        all << qobject_cast<ParticleItem*>(p.value<QObject*>());
    return all;
}

QList<double> speeds(QQuickItem* window)
{
    QList<double> all;
    for (ParticleItem* p : particles(window))
        all << p->speed();
    return all;
}

zanth2d::ZTParticleSystem* emitterOf(ParticleItem* item)
{
    zanth2d::ZTNode* node = item->getZTNode();
    if (!node || node->getChildrenCount() == 0)
        return nullptr;
    return dynamic_cast<zanth2d::ZTParticleSystem*>(node->getChildren()->lastObject());
}

// Slides the properties menu in and waits until its editor shows the type's widgets on the page.
QObject* speedSlider(QQuickItem* window, const QString& type)
{
    js(window, "scene.entityMenu.slideIn(); scene.itemEditor.searchAndDisplayHeaderGroup('Gravity Mode')");
    const QString widget = "scene.itemEditor.__delegates['" + type + "']['" + type + "']['speed']";
    const bool shown = engine->stepFramesUntil([&] {
        return js(window, "scene.itemEditor.visible && scene.itemEditor.state === '' && "
                          "!!scene.itemEditor.__delegates['" +
                              type + "'] && !!" + widget +
                              " && scene.itemEditor.currentGroup === 'Gravity Mode'")
            .toBool();
    });
    return shown ? js(window, widget + ".slider").value<QObject*>() : nullptr;
}

QJsonObject savedEffect(QQuickItem* window, const QString& name)
{
    QFile file(storageFolder(window) + name + ".json");
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
}

// A click of the mouse on the stage at the scene point (x, y).
void clickStage(QQuickItem* window, double x, double y)
{
    const QPointF at = js(window, QString("scene.mapToItem(null, %1, %2)").arg(x).arg(y)).toPointF();
    QWindow* view = &engine->view();
    QMouseEvent press(QEvent::MouseButtonPress, at, view->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(view, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, view->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(view, &release);
}

} // namespace

TEST(MainMenuContent, aSaveAsThatCannotBeWrittenChangesNothingSaysSoAndTheEffectsStayEditable)
{
    QQuickItem* window = loadEmbervale(*engine);
    ASSERT_NE(window, nullptr);
    press(window, "Add FireParticle");
    blockStorage(window);

    DialogAnswers answers;
    answers.input("Blue");
    answers.box(true);
    press(window, "Save as");
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(answers.seen().value(1), "The effect was not saved | The file could not be written.");
    EXPECT_EQ(types(window), QStringList{"FireParticle"});
    EXPECT_EQ(js(window, "scene.itemEditor.currentEditableType").toString(), "FireParticle");
    EXPECT_EQ(effects(window),
              (QStringList{"FireParticle.json false FireParticle", "FireParticle.json false FireParticle"}));
    clearStorage(window);

    QObject* slider = speedSlider(window, "FireParticle");
    ASSERT_NE(slider, nullptr);
    slider->setProperty("value", 300);
    EXPECT_EQ(speeds(window), (QList<double>{300, 300}));
}

TEST(MainMenuContent, saveAsOntoATypeOnTheStageAsksAndAfterwardsEveryEffectOfTheSavedTypeFollowsItsWidgets)
{
    QQuickItem* window = loadEmbervale(*engine);
    ASSERT_NE(window, nullptr);
    clearStorage(window);
    js(window, "scene.createEffect('Fire.json', false, 100, 100)");
    ASSERT_TRUE(engine->stepFramesUntil([&] { return types(window).size() == 2; }));

    // Declined: both types stay as they were, and nothing is written.
    DialogAnswers answers;
    answers.input("Fire");
    answers.box(false);
    press(window, "Save as");
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_TRUE(answers.seen().value(1).startsWith("Replace the effect \"Fire\"?"))
        << answers.seen().join("\n").toStdString();
    EXPECT_EQ(types(window), (QStringList{"FireParticle", "Fire"}));
    EXPECT_EQ(effects(window), (QStringList{"FireParticle.json false FireParticle", "Fire.json false Fire"}));
    EXPECT_TRUE(savedEffect(window, "Fire").isEmpty());

    MessageLog log;
    answers.input("Fire");
    answers.box(true);
    press(window, "Save as");
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(savedEffect(window, "Fire")["Fire"].toObject()["speed"].toDouble(), 85);
    EXPECT_EQ(types(window), QStringList{"Fire"});
    // The editor's title names the saved type.
    EXPECT_EQ(js(window, "scene.itemEditor.currentMetaData.displayname").toString(), "Fire");
    EXPECT_EQ(effects(window), (QStringList{"Fire.json true Fire", "Fire.json true Fire"}));
    // The effect that was Fire takes the saved values.
    EXPECT_EQ(speeds(window), (QList<double>{85, 85}));

    QObject* slider = speedSlider(window, "Fire");
    ASSERT_NE(slider, nullptr);
    slider->setProperty("value", 300);
    EXPECT_EQ(speeds(window), (QList<double>{300, 300}));
    for (ParticleItem* p : particles(window)) {
        ASSERT_NE(emitterOf(p), nullptr);
        EXPECT_EQ(emitterOf(p)->getSpeed(), 300.0f);
    }
    EXPECT_FALSE(log.contains("ERROR")) << log.lines().join("\n").toStdString();
    clearStorage(window);
}

TEST(MainMenuContent, saveAsSwitchesEveryEffectToTheSavedFileInOneLoad)
{
    QQuickItem* window = loadEmbervale(*engine);
    ASSERT_NE(window, nullptr);
    clearStorage(window);
    press(window, "Add FireParticle");
    std::vector<std::unique_ptr<QSignalSpy>> loads;
    for (ParticleItem* p : particles(window))
        loads.push_back(std::make_unique<QSignalSpy>(p, &ParticleItem::fileNameChanged));
    ASSERT_EQ(loads.size(), 2u);

    MessageLog log;
    DialogAnswers answers;
    answers.input("Blue");
    press(window, "Save as");
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(answers.seen().size(), 1) << answers.seen().join("\n").toStdString();
    EXPECT_EQ(effects(window), (QStringList{"Blue.json true Blue", "Blue.json true Blue"}));
    EXPECT_EQ(js(window, "scene.itemEditor.currentMetaData.displayname").toString(), "Blue");
    for (const auto& spy : loads)
        EXPECT_EQ(spy->count(), 1);
    for (ParticleItem* p : particles(window)) {
        EXPECT_EQ(p->fileName(), QUrl::fromLocalFile(storageFolder(window) + "Blue.json"));
        EXPECT_NE(emitterOf(p), nullptr);
    }
    EXPECT_FALSE(log.contains("WARNING")) << log.lines().join("\n").toStdString();
    clearStorage(window);
}

TEST(MainMenuContent, thePropertyListOfEveryEffectOfTheTypeIsSavedOrSentAndAFailureIsReported)
{
    QQuickItem* window = loadEmbervale(*engine);
    ASSERT_NE(window, nullptr);
    clearStorage(window);
    const QString plist = storageFolder(window) + "FireParticle.plist";

    press(window, "Save to .plist");
    QFile file(plist);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray exported = file.readAll();
    file.close();
    EXPECT_TRUE(exported.contains("<key>maxParticles</key>\n<real>42</real>")) << exported.toStdString();

    MailCatcher catcher;
    DialogAnswers answers;
    answers.input("someone@example.com");
    answers.input("someone@example.com");
    press(window, "Send Particle .plist");
    press(window, "Send Particle .json");
    ASSERT_EQ(catcher.mails().size(), 2);
    const QUrlQuery mailedPList(catcher.mails()[0]);
    EXPECT_EQ(mailedPList.queryItemValue("subject", QUrl::FullyDecoded), "FireParticle.plist");
    EXPECT_EQ(mailedPList.queryItemValue("body", QUrl::FullyDecoded), QString::fromUtf8(exported));
    const QUrlQuery mailedJson(catcher.mails()[1]);
    EXPECT_EQ(mailedJson.queryItemValue("subject", QUrl::FullyDecoded), "FireParticle.json");
    EXPECT_EQ(QJsonDocument::fromJson(mailedJson.queryItemValue("body", QUrl::FullyDecoded).toUtf8())
                  .object()["FireParticle"]
                  .toObject()["maxParticles"]
                  .toDouble(),
              42);

    // Failures are told, and nothing is sent.
    blockStorage(window);
    answers.box(true);
    press(window, "Save to .plist");
    answers.input("someone@example.com");
    answers.box(true);
    press(window, "Send Particle .plist");
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(
        answers.seen().mid(2),
        (QStringList{"The property list was not saved | The file could not be written.",
                     "Send to | Enter Email", "The property list was not sent | Exporting it failed."}));
    EXPECT_EQ(catcher.mails().size(), 2);
    clearStorage(window);
}

TEST(MainMenuContent, respawnRestartsEveryEffectAndRemoveLastRemovesTheNewest)
{
    QQuickItem* window = loadEmbervale(*engine);
    ASSERT_NE(window, nullptr);
    press(window, "Add FireParticle");
    press(window, "Add FireParticle");
    const QList<ParticleItem*> all = particles(window);
    ASSERT_EQ(all.size(), 3);
    ASSERT_TRUE(engine->stepFramesUntil([&] {
        for (ParticleItem* p : all)
            if (!emitterOf(p) || emitterOf(p)->getParticleCount() == 0)
                return false;
        return true;
    }));

    // Respawned, each effect starts again from no particles with an emitter of its own.
    press(window, "Respawn Particles");
    for (ParticleItem* p : all) {
        ASSERT_NE(emitterOf(p), nullptr);
        EXPECT_EQ(emitterOf(p)->getParticleCount(), 0u);
        EXPECT_TRUE(p->running());
    }

    const QVariantList ids =
        js(window, "scene.effectEntities().map(function(e) { return e.entityId })").toList();
    press(window, "Remove Last");
    EXPECT_TRUE(engine->stepFramesUntil([&] {
        return js(window, "scene.effectEntities().map(function(e) { return e.entityId })").toList() ==
               ids.mid(0, 2);
    })) << js(window, "scene.effectEntities().length").toInt();
    press(window, "Remove Last");
    press(window, "Remove Last");
    press(window, "Remove Last");
    EXPECT_TRUE(
        engine->stepFramesUntil([&] { return js(window, "scene.effectEntities().length").toInt() == 0; }));
}

TEST(MainMenuContent, afterPickingAnEffectAddMakesEffectsFromThePickedEffectsFile)
{
    QQuickItem* window = loadEmbervale(*engine);
    ASSERT_NE(window, nullptr);
    clearStorage(window);
    // Saved, the start effect loads from the user's folder, and so do the effects added after it.
    DialogAnswers answers;
    answers.input("Blue");
    press(window, "Save as");
    EXPECT_TRUE(answers.allAnswered());
    // The start effect stands where chance put it: away from where the new one is picked.
    js(window, "scene.effectEntities().forEach(function(e) { e.x = 700; e.y = 500 })");
    js(window, "scene.createEffect('Fire.json', false, 200, 200)");
    ASSERT_TRUE(engine->stepFramesUntil([&] { return types(window).size() == 2; }));

    ASSERT_TRUE(engine->stepFramesUntil([&] {
        clickStage(window, 200, 200);
        return js(window, "scene.itemEditor.currentEditableType").toString() == "Fire";
    }));
    press(window, "Remove All");
    ASSERT_TRUE(engine->stepFramesUntil([&] { return types(window).isEmpty(); }));
    MessageLog log;
    press(window, "Add Fire");
    ASSERT_TRUE(engine->stepFramesUntil([&] { return types(window) == QStringList{"Fire"}; }));
    EXPECT_EQ(effects(window), QStringList{"Fire.json false Fire"});
    ParticleItem* fire = particles(window).value(0);
    ASSERT_NE(fire, nullptr);
    EXPECT_EQ(fire->maxParticles(), 118);
    EXPECT_TRUE(engine->stepFramesUntil([&] { return emitterOf(fire) != nullptr; }));
    EXPECT_FALSE(log.contains("WARNING")) << log.lines().join("\n").toStdString();
    clearStorage(window);
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}

#include "MainMenuContentTest.moc"
