// The property editor on the engine started in the test process: one widget per property shared by
// every item of a type, saving and renaming a type, loading it back, and values that look like code.

#include <gtest/gtest.h>

#include "InProcessEngine.h"
#include "MessageLog.h"
#include "QtPrinters.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QQuickItem>

#include <functional>

namespace {

InProcessEngine* engine = nullptr;

// Every helper function takes three arguments, as call() passes them.
// Items of any type with a number, a colour, a point and a text, each made editable; the root's
// functions reach the editor and the items.
const QByteArray kGame = R"(import QtQuick 2.15
import Zanth 1.0
GameWindow {
    id: window
    width: 480; height: 320
    displayFpsEnabled: false
    property alias itemEditor: editor
    property bool hacked: false
    property var items: []
    property int loadings: 0
    property int loadeds: 0
    function make(type, speed, text) {
        var item = holder.createObject(scene, { "type": type, "speed": speed, "text": text === undefined ? "a" : text })
        items.push(item)
        return item
    }
    // The type's master stays when its last item goes.
    function makeKept(type, speed, c) {
        var item = holder.createObject(scene, { "type": type, "speed": speed, "text": "a", "keep": true })
        items.push(item)
        return item
    }
    function speeds(a, b, c) { return items.map(function(i) { return i.speed }) }
    function texts(a, b, c) { return items.map(function(i) { return i.text }) }
    function gravities(a, b, c) { return items.map(function(i) { return i.gravity.x + "," + i.gravity.y }) }
    function removeType(type, b, c) {
        items.filter(function(i) { return i.type === type }).forEach(function(i) { i.destroy() })
        items = items.filter(function(i) { return i.type !== type })
    }
    function removeFirst(a, b, c) { items.shift().destroy() }
    // Writes the type's master value directly, as a load does.
    function setMaster(type, name, value) { editor.__masters[type][type].target[name] = value }
    function masterValue(type, name, c) { return editor.__masters[type][type].target[name] }
    function editableTypesOfItems(a, b, c) {
        return items.map(function(i) { return i.children[0].editableType + "/" + i.children[0].defaultGroup })
    }
    function call(name, a, b, c) { return editor[name](a, b, c) }
    function setType(type, b, c) { editor.currentEditableType = type }
    function delegates(a, b, c) {
        var all = {}
        var groups = editor.__delegates[editor.currentEditableType]
        for (var g in groups)
            for (var name in groups[g])
                all[name] = groups[g][name]
        return all
    }
    // The current type's widget of a property, on whatever page it is.
    function delegate(name, b, c) { return delegates()[name] }
    function delegateNames(a, b, c) { return Object.keys(delegates()).sort() }
    function setAlphas(alpha, b, c) { items.forEach(function(i) { i.startColor.a = alpha }) }
    function colours(a, b, c) { return items.map(function(i) { return String(i.startColor) }) }
    function destroyEditor(a, b, c) { editor.destroy() }
    Component {
        id: holder
        Item {
            id: it
            property string type
            property bool keep: false
            property real speed: 0
            property color startColor: "#c2401f"
            property point gravity: Qt.point(1, 2)
            property color finishColor: "#102030"
            property point variance: Qt.point(5, 6)
            property string text
            property int blendFuncSource: 737
            EditableComponent {
                target: it
                editableType: it.type
                targetEditor: editor
                keepOneInstanceInMemory: it.keep
                properties: ({ "Gravity Mode": { "speed": { "min": 0, "max": 1000 }, "gravity": {}, "variance": {} },
                               "Color": { "startColor": {}, "finishColor": {} }, "text": {},
                               "blendFuncSource": { "values": [1, 770, 771] } })
            }
        }
    }
    Scene {
        id: scene
        width: 480; height: 320
        ItemEditor {
            id: editor
            width: 150; height: 320
            onLoading: window.loadings++
            onLoaded: window.loadeds++
        }
    }
}
)";

// A game's own widget for a type of its own, built on the editor's base delegate, and one whose file
// does not load.
const QByteArray kMeter = R"(import QtQuick 2.15
import Zanth 1.0
ItemEditorBaseDelegate {
    objectName: "meter"
    property real shown: 0
    modelWrite: shown
    onModelChanged: if (isDefined(model) && model !== null) shown = model
}
)";

const QByteArray kCustomGame = R"(import QtQuick 2.15
import Zanth 1.0
GameWindow {
    id: window
    width: 480; height: 320
    displayFpsEnabled: false
    property var items: []
    function make(type, level, c) {
        var item = holder.createObject(scene, { "type": type, "level": level })
        items.push(item)
        return item
    }
    function levels(a, b, c) { return items.map(function(i) { return i.level }) }
    function call(name, a, b, c) { return editor[name](a, b, c) }
    function setType(type, b, c) { editor.currentEditableType = type }
    function master(type, b, c) { return editor.__masters[type][type].target }
    function setMaster(type, value, c) { master(type).level = value }
    function bind(delegate, target, c) { return delegate.addBindingTarget(target) }
    function unbind(delegate, target, c) { return delegate.removeBinding(target) }
    Component {
        id: holder
        Item {
            id: it
            property string type
            property real level: 0
            property real odd: 0
            property string text: "a"
            EditableComponent {
                target: it
                editableType: it.type
                targetEditor: editor
                properties: ({ "level": { "propertyType": "meter" }, "odd": { "propertyType": "broken" }, "text": {} })
            }
        }
    }
    Item { id: loose; objectName: "loose"; property real level: 0 }
    Scene {
        id: scene
        width: 480; height: 320
        ItemEditor {
            id: editor
            width: 150; height: 320
            customTypes: ({ "meter": Qt.resolvedUrl("Meter.qml"), "broken": Qt.resolvedUrl("Broken.qml") })
        }
    }
}
)";

// Items with a list of points and a list of plain numbers, the list editor's parts reachable by name.
const QByteArray kArrayGame = R"(import QtQuick 2.15
import Zanth 1.0
GameWindow {
    id: window
    width: 480; height: 480
    displayFpsEnabled: false
    property var items: []
    function make(type, b, c) {
        var item = holder.createObject(scene, { "type": type })
        items.push(item)
        return item
    }
    function setType(type, b, c) { editor.currentEditableType = type }
    function call(name, a, b, c) { return editor[name](a, b, c) }
    function list(name, b, c) {
        var groups = editor.__delegates[editor.currentEditableType]
        for (var g in groups)
            if (groups[g][name])
                return groups[g][name].content
        return null
    }
    function run(name, op, arg) { return list(name)[op](arg) }
    function values(name, b, c) { return items.map(function(i) { return JSON.stringify(i[name]) }) }
    function elementSlider(name, n, field) {
        var element = list(name).elements[n]
        for (var i = 0; i < element.children.length; ++i) {
            var blocks = element.children[i]
            for (var j = 0; j < blocks.children.length; ++j)
                if (blocks.children[j].key === field)
                    return blocks.children[j].slider
        }
        return null
    }
    function colours(name, b, c) { return list(name).elements.map(function(e) { return String(e.color) }) }
    Component {
        id: holder
        Item {
            id: it
            property string type
            property var points: [{ "x": 10, "y": 2.5 }, { "x": 30, "y": 4 }]
            property var sizes: [5]
            EditableComponent {
                target: it
                editableType: it.type
                targetEditor: editor
                keepOneInstanceInMemory: false
                properties: ({ "points": { "elementsMetaData": [{ "max": 100 }] }, "sizes": {} })
            }
        }
    }
    Scene {
        id: scene
        width: 480; height: 480
        ItemEditor { id: editor; width: 200; height: 480 }
    }
}
)";

// Items showing a texture from the folder beside the game's file.
const QByteArray kTextureGame = R"(import QtQuick 2.15
import Zanth 1.0
GameWindow {
    id: window
    width: 480; height: 320
    displayFpsEnabled: false
    property var items: []
    function make(type, b, c) {
        var item = holder.createObject(scene, { "type": type })
        items.push(item)
        return item
    }
    function textures(a, b, c) { return items.map(function(i) { return String(i.texture) }) }
    function call(name, a, b, c) { return editor[name](a, b, c) }
    Component {
        id: holder
        Item {
            id: it
            property string type
            property url texture: Qt.resolvedUrl("tex/b.png")
            EditableComponent {
                target: it
                editableType: it.type
                targetEditor: editor
                properties: ({ "texture": {} })
            }
        }
    }
    Scene {
        id: scene
        width: 480; height: 320
        ItemEditor { id: editor; width: 200; height: 320 }
    }
}
)";

QVariant call(QQuickItem* root, const char* function, const QVariant& a = {}, const QVariant& b = {},
              const QVariant& c = {})
{
    QVariant result;
    QMetaObject::invokeMethod(root, function, Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, a),
                              Q_ARG(QVariant, b), Q_ARG(QVariant, c));
    return result;
}

QVariant editor(QQuickItem* root, const char* function, const QVariant& a = {}, const QVariant& b = {},
                const QVariant& c = {})
{
    QVariant result;
    QMetaObject::invokeMethod(root, "call", Q_RETURN_ARG(QVariant, result),
                              Q_ARG(QVariant, QString(function)), Q_ARG(QVariant, a), Q_ARG(QVariant, b),
                              Q_ARG(QVariant, c));
    return result;
}

// Runs frames until the condition holds; false when it still does not after a generous deadline.
bool waitUntil(const std::function<bool()>& condition)
{
    const QDeadlineTimer deadline(30000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        engine->stepFrames(1);
    }
    return true;
}

QVariantList numbers(std::initializer_list<double> values)
{
    QVariantList list;
    for (double v : values)
        list << v;
    return list;
}

QObject* editorOf(QQuickItem* root)
{
    return root->findChild<QObject*>("itemEditor");
}

QObject* delegate(QQuickItem* root, const char* name)
{
    return call(root, "delegate", name).value<QObject*>();
}

// The slider of a number's widget.
QObject* slider(QQuickItem* root, const char* name)
{
    QObject* widget = delegate(root, name);
    return widget ? widget->property("slider").value<QObject*>() : nullptr;
}

bool hasWidgets(QQuickItem* root, const QStringList& names)
{
    return call(root, "delegateNames").toStringList() == names && editorOf(root)->property("state") == "";
}

// A named part of a property's widget.
QObject* widgetPart(QQuickItem* root, const char* property, const char* part)
{
    QObject* widget = delegate(root, property);
    return widget ? widget->findChild<QObject*>(part) : nullptr;
}

// The items below item with that object name, in visual order (a Repeater's items are not QObject
// children of their column).
QList<QQuickItem*> itemsNamed(QQuickItem* item, const QString& name)
{
    QList<QQuickItem*> found;
    for (QQuickItem* child : item->childItems()) {
        if (child->objectName() == name)
            found << child;
        found << itemsNamed(child, name);
    }
    return found;
}

int bindingsOn(QObject* target)
{
    int count = 0;
    for (QObject* child : target->children())
        count += child->inherits("QQmlBind") ? 1 : 0;
    return count;
}

const QStringList kWidgets{"blendFuncSource", "finishColor", "gravity", "speed",
                           "startColor",      "text",        "variance"};

} // namespace

TEST(ItemEditor, aWidgetEditsEveryItemOfItsTypeAndLaterItemsTakeTheEditedValues)
{
    QQuickItem* root = engine->load(kGame);
    call(root, "make", "fire", 10);
    call(root, "make", "fire", 20);
    call(root, "make", "smoke", 30);
    call(root, "setType", "fire");
    ASSERT_TRUE(waitUntil([&] { return hasWidgets(root, kWidgets); }));
    EXPECT_EQ(editor(root, "getAllEditableTypes").toStringList(), (QStringList{"fire", "smoke"}));
    // The first fire item's values are the type's.
    EXPECT_EQ(call(root, "speeds").toList(), numbers({10, 10, 30}));

    slider(root, "speed")->setProperty("value", 77);
    EXPECT_EQ(call(root, "speeds").toList(), numbers({77, 77, 30}));
    call(root, "make", "fire", 5);
    EXPECT_EQ(call(root, "speeds").toList(), numbers({77, 77, 30, 77}));

    call(root, "setType", "smoke");
    slider(root, "speed")->setProperty("value", 40);
    EXPECT_EQ(call(root, "speeds").toList(), numbers({77, 77, 40, 77}));

    // The last smoke item takes its type along.
    call(root, "removeType", "smoke");
    EXPECT_TRUE(
        waitUntil([&] { return editor(root, "getAllEditableTypes").toStringList() == QStringList{"fire"}; }));
}

TEST(ItemEditor, editedColoursPointsAndNumbersOutliveTheFirstItemAndReachTheNextItemAndTheFile)
{
    MessageLog log;
    QQuickItem* root = engine->load(kGame);
    call(root, "make", "fire", 10);
    call(root, "make", "fire", 10);
    call(root, "setType", "fire");
    ASSERT_TRUE(waitUntil([&] { return hasWidgets(root, kWidgets); }));
    call(root, "setAlphas", 0.5);
    slider(root, "speed")->setProperty("value", 77);
    widgetPart(root, "startColor", "colorPickerRed")->setProperty("value", 255);
    widgetPart(root, "gravity", "pointSelectorX")->setProperty("value", 30);
    widgetPart(root, "gravity", "pointSelectorY")->setProperty("value", 40);

    QPointer<QObject> first = root->property("items").toList().first().value<QObject*>();
    call(root, "removeFirst");
    ASSERT_TRUE(waitUntil([&] { return first.isNull(); }));
    call(root, "make", "fire", 5);
    EXPECT_EQ(call(root, "speeds").toList(), numbers({77, 77}));
    EXPECT_EQ(call(root, "colours").toStringList(), (QStringList{"#80ff401f", "#80ff401f"}));
    EXPECT_EQ(call(root, "gravities").toStringList(), (QStringList{"30,40", "30,40"}));
    // A colour edited after the removal keeps its opacity.
    widgetPart(root, "startColor", "colorPickerGreen")->setProperty("value", 0);
    EXPECT_EQ(call(root, "colours").toStringList(), (QStringList{"#80ff001f", "#80ff001f"}));
    EXPECT_FALSE(log.contains("Cannot assign"));

    const QString folder = engine->folder() + "/kept/";
    ASSERT_TRUE(editor(root, "saveItem", folder, "fire", "Kept").toBool());
    QFile file(folder + "Kept.json");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject saved = QJsonDocument::fromJson(file.readAll()).object()["Kept"].toObject();
    const QVariantMap data = editor(root, "saveAllComponentsToJSON").toMap()["Kept"].toMap();
    for (const QString& key : saved.keys())
        EXPECT_FALSE(saved[key].isNull()) << key.toStdString();
    EXPECT_EQ(saved["speed"].toDouble(), 77);
    EXPECT_EQ(saved["startColor"].toString(), "#ff001f");
    EXPECT_EQ(saved["gravity"].toString(), "30.0, 40.0");
    EXPECT_EQ(saved["finishColor"].toString(), "#102030") << "untouched values are kept as well";
    EXPECT_EQ(saved["variance"].toString(), "5.0, 6.0");
    EXPECT_EQ(data["speed"].toDouble(), 77);
    EXPECT_EQ(data["startColor"].toString(), "#ff001f");
    EXPECT_EQ(data["gravity"].toString(), "30.0, 40.0");
}

TEST(ItemEditor, savingUnderANewNameRenamesTheTypeAndLoadingGivesEveryItemTheFileValues)
{
    QQuickItem* root = engine->load(kGame);
    call(root, "make", "FireParticle", 85);
    call(root, "make", "FireParticle", 85);
    ASSERT_TRUE(waitUntil([&] { return hasWidgets(root, kWidgets); }));
    const QString folder = engine->folder() + "/saved/";
    ASSERT_TRUE(editor(root, "saveItem", folder, "FireParticle", "MyFire").toBool());
    EXPECT_EQ(editor(root, "getAllEditableTypes").toStringList(), QStringList{"MyFire"});

    QFile file(folder + "MyFire.json");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject saved = QJsonDocument::fromJson(file.readAll()).object();
    file.close();
    ASSERT_EQ(saved.keys(), QStringList{"MyFire"});
    const QJsonObject values = saved["MyFire"].toObject();
    EXPECT_EQ(values.keys(), kWidgets);
    EXPECT_EQ(values["speed"].toDouble(), 85);
    EXPECT_EQ(values["startColor"].toString(), "#c2401f");
    EXPECT_EQ(values["gravity"].toString(), "1.0, 2.0");

    QJsonObject changed = values;
    changed["speed"] = 5;
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(QJsonObject{{"MyFire", changed}}).toJson());
    file.close();
    editor(root, "loadItem", folder, "MyFire");
    EXPECT_EQ(call(root, "speeds").toList(), numbers({5, 5}));
    EXPECT_EQ(slider(root, "speed")->property("value").toDouble(), 5) << "the widget follows the load";

    // A name that has no master is reported, not invented.
    MessageLog log;
    call(root, "setType", "nothing");
    editor(root, "renameCurrentEditableType", "Other");
    EXPECT_TRUE(log.contains("[EditorStorage] No editableType nothing"));
}

TEST(ItemEditor, aSaveThatCannotBeWrittenLeavesTypesMastersWidgetsAndItemsAsTheyWere)
{
    QQuickItem* root = engine->load(kGame);
    call(root, "make", "fire", 10);
    call(root, "make", "fire", 10);
    call(root, "make", "smoke", 30);
    call(root, "setType", "smoke");
    ASSERT_TRUE(waitUntil([&] { return hasWidgets(root, kWidgets); }));
    // A folder below a plain file can't be made, whoever runs the test.
    writeTestFile(engine->folder() + "/plain", "not a folder");
    const QString folder = engine->folder() + "/plain/saved/";

    MessageLog log;
    EXPECT_FALSE(editor(root, "saveItem", folder, "fire", "Blue").toBool());
    EXPECT_FALSE(editor(root, "saveItem", folder, "fire", "smoke").toBool());
    EXPECT_FALSE(log.contains("[EditorStorage]")) << log.lines().join("\n").toStdString();
    EXPECT_EQ(editor(root, "getAllEditableTypes").toStringList(), (QStringList{"fire", "smoke"}));
    EXPECT_EQ(editorOf(root)->property("currentEditableType").toString(), "smoke");
    EXPECT_EQ(call(root, "editableTypesOfItems").toStringList(),
              (QStringList{"fire/fire", "fire/fire", "smoke/smoke"}));
    EXPECT_TRUE(editor(root, "saveComponentToJSON", "Blue").toMap().isEmpty());
    EXPECT_EQ(call(root, "masterValue", "smoke", "speed").toDouble(), 30);

    // Both types still edit their own items.
    slider(root, "speed")->setProperty("value", 40);
    call(root, "setType", "fire");
    ASSERT_TRUE(waitUntil([&] { return hasWidgets(root, kWidgets); }));
    slider(root, "speed")->setProperty("value", 77);
    EXPECT_EQ(call(root, "speeds").toList(), numbers({77, 77, 40}));
}

TEST(ItemEditor, savingUnderTheNameOfATypeWithItemsMergesItSoEveryItemFollowsTheSameWidgets)
{
    // The old type's item bound to its widgets, or made while the editor is hidden and waiting for it.
    for (const bool shown : {true, false}) {
        SCOPED_TRACE(shown ? "editor shown" : "editor hidden");
        QQuickItem* root = engine->load(kGame);
        QObject* itemEditor = editorOf(root);
        QObject* smoke = shown ? call(root, "make", "smoke", 30).value<QObject*>() : nullptr;
        call(root, "make", "fire", 10);
        call(root, "make", "fire", 10);
        call(root, "setType", "fire");
        ASSERT_TRUE(waitUntil([&] { return hasWidgets(root, kWidgets); }));
        slider(root, "speed")->setProperty("value", 77);
        if (!shown) {
            itemEditor->setProperty("visible", false);
            smoke = call(root, "make", "smoke", 30).value<QObject*>();
        }

        MessageLog log;
        const QString folder = engine->folder() + "/merged/";
        ASSERT_TRUE(editor(root, "saveItem", folder, "fire", "smoke").toBool());
        EXPECT_TRUE(log.contains("[EditorStorage] toEditableType is already in list smoke"));
        EXPECT_EQ(editor(root, "getAllEditableTypes").toStringList(), QStringList{"smoke"});
        EXPECT_EQ(itemEditor->property("currentEditableType").toString(), "smoke");
        EXPECT_EQ(call(root, "editableTypesOfItems").toStringList(),
                  (QStringList{"smoke/smoke", "smoke/smoke", "smoke/smoke"}));
        // The items of the old smoke take the saved values at once.
        EXPECT_EQ(call(root, "speeds").toList(), numbers({77, 77, 77}));

        itemEditor->setProperty("visible", true);
        ASSERT_TRUE(waitUntil([&] { return hasWidgets(root, kWidgets); }));
        // One binding a property: the old smoke's widgets went with its master.
        EXPECT_TRUE(waitUntil([&] { return bindingsOn(smoke) == kWidgets.size(); })) << bindingsOn(smoke);
        slider(root, "speed")->setProperty("value", 55);
        EXPECT_EQ(call(root, "speeds").toList(), numbers({55, 55, 55}));
        widgetPart(root, "gravity", "pointSelectorX")->setProperty("value", 30);
        EXPECT_EQ(call(root, "gravities").toStringList(), (QStringList{"30,2", "30,2", "30,2"}));

        // The merged type's items leave it as any item does.
        call(root, "removeType", "smoke");
        EXPECT_TRUE(waitUntil(
            [&] { return editor(root, "getAllEditableTypes").toStringList() == QStringList{"smoke"}; }));
        EXPECT_FALSE(log.contains("ERROR")) << log.lines().join("\n").toStdString();
    }
}

TEST(ItemEditor, aHiddenNumberWidgetKeepsItsValueWhenItsTargetChangesAndWritesItBackWhenShown)
{
    QQuickItem* root = engine->load(kGame);
    call(root, "make", "fire", 10);
    call(root, "make", "smoke", 30);
    call(root, "setType", "fire");
    editor(root, "searchAndDisplayHeaderGroup", "Gravity Mode");
    ASSERT_TRUE(waitUntil([&] {
        return hasWidgets(root, kWidgets) && editorOf(root)->property("currentGroup") == "Gravity Mode";
    }));
    QObject* speed = slider(root, "speed");
    speed->setProperty("value", 77);

    call(root, "setType", "smoke");
    call(root, "setMaster", "fire", "speed", 300);
    EXPECT_EQ(speed->property("value").toDouble(), 77);
    call(root, "setType", "fire");
    EXPECT_EQ(call(root, "masterValue", "fire", "speed").toDouble(), 77);
    EXPECT_EQ(call(root, "speeds").toList(), numbers({77, 30}));

    // Shown, the widget follows its target again.
    call(root, "setMaster", "fire", "speed", 300);
    EXPECT_EQ(speed->property("value").toDouble(), 300);
    EXPECT_EQ(call(root, "speeds").toList(), numbers({300, 30}));
}

TEST(ItemEditor, aPageScrollsItsColumnOnlyWhileTheColumnIsTallerThanThePage)
{
    QQuickItem* root = engine->load(kGame);
    call(root, "make", "fire", 1);
    call(root, "setType", "fire");
    // The page of the type's own group: a text and a slider.
    editor(root, "searchAndDisplayHeaderGroup", "fire");
    ASSERT_TRUE(waitUntil(
        [&] { return hasWidgets(root, kWidgets) && editorOf(root)->property("currentGroup") == "fire"; }));
    QQuickItem* page = nullptr;
    for (QQuickItem* candidate : itemsNamed(root, "groupFlickable"))
        if (candidate->isVisible())
            page = candidate;
    ASSERT_NE(page, nullptr);
    QQuickItem* flickable = findItem(page, "groupFlickable_flickable");
    QQuickItem* column = findItem(page, "groupFlickable_column");
    ASSERT_TRUE(flickable && column);
    ASSERT_EQ(column->parentItem()->parentItem(), flickable) << "the column is the flickable's content";
    QQuickItem* placeholder = column->childItems().value(0);
    ASSERT_NE(placeholder, nullptr);
    EXPECT_EQ(placeholder->objectName(), "groupFlickable_columnRectangle");
    EXPECT_FALSE(placeholder->isVisible());
    EXPECT_EQ(column->childItems().size(), 3) << "the placeholder and the page's two widgets";
    const auto anyVisible = [&] {
        QVariant visible;
        QMetaObject::invokeMethod(page, "isAnyElementVisible", Q_RETURN_ARG(QVariant, visible));
        return visible.toBool();
    };
    EXPECT_TRUE(anyVisible());
    for (QQuickItem* widget : column->childItems())
        widget->setVisible(false);
    EXPECT_FALSE(anyVisible());
    for (QQuickItem* widget : column->childItems().mid(1))
        widget->setVisible(true);

    EXPECT_LT(column->height(), page->height());
    EXPECT_FALSE(flickable->property("interactive").toBool());
    EXPECT_LT(flickable->height(), page->height());
    editorOf(root)->setProperty("height", 60);
    ASSERT_TRUE(waitUntil([&] { return column->height() > page->height(); }));
    EXPECT_TRUE(flickable->property("interactive").toBool());
    EXPECT_EQ(flickable->height(), page->height());
}

TEST(ItemEditor, loadingReachesTheMasterOfATypeWithoutItems)
{
    QQuickItem* root = engine->load(kGame);
    QPointer<QObject> ghost = call(root, "makeKept", "ghost", 5).value<QObject*>();
    ASSERT_TRUE(waitUntil([&] { return !call(root, "delegateNames").toStringList().isEmpty(); }));
    call(root, "removeType", "ghost");
    ASSERT_TRUE(waitUntil([&] { return ghost.isNull(); }));
    editor(root, "loadAllComponentsFromJSON", QVariantMap{{"ghost", QVariantMap{{"speed", 9}}}});
    EXPECT_EQ(editor(root, "saveComponentToJSON", "ghost").toMap()["ghost"].toMap()["speed"].toDouble(), 9);
    call(root, "make", "ghost", 1);
    EXPECT_EQ(call(root, "speeds").toList(), numbers({9}));
}

TEST(ItemEditor, theEditorIsLoadingWhileItMakesOrDropsATypeAndWhenItShowsWaitingItems)
{
    QQuickItem* root = engine->load(kGame);
    QObject* itemEditor = editorOf(root);
    call(root, "make", "fire", 1);
    EXPECT_EQ(itemEditor->property("state"), "loading");
    EXPECT_EQ(root->property("loadings").toInt(), 1);
    ASSERT_TRUE(waitUntil([&] { return itemEditor->property("state") == ""; }));
    EXPECT_EQ(root->property("loadeds").toInt(), 1);
    EXPECT_EQ(call(root, "delegateNames").toStringList(), kWidgets) << "the widgets are made by then";

    call(root, "make", "fire", 2);
    EXPECT_EQ(itemEditor->property("state"), "") << "a known type needs no loading";
    call(root, "removeType", "fire");
    ASSERT_TRUE(waitUntil([&] { return root->property("loadings").toInt() == 2; }));
    ASSERT_TRUE(waitUntil([&] { return itemEditor->property("state") == ""; }));
    EXPECT_EQ(root->property("loadeds").toInt(), 2);
    EXPECT_TRUE(editor(root, "getAllEditableTypes").toStringList().isEmpty());

    // Hidden, the editor only notes the item; showing it makes the widgets, behind "loading".
    itemEditor->setProperty("visible", false);
    call(root, "make", "smoke", 3);
    EXPECT_EQ(itemEditor->property("state"), "");
    call(root, "setType", "smoke");
    // A page asked for while hidden is the one shown when the editor appears.
    editor(root, "searchAndDisplayHeaderGroup", "Gravity Mode");
    EXPECT_TRUE(call(root, "delegateNames").toStringList().isEmpty());
    itemEditor->setProperty("visible", true);
    EXPECT_EQ(itemEditor->property("state"), "loading");
    EXPECT_EQ(root->property("loadings").toInt(), 3);
    ASSERT_TRUE(waitUntil([&] { return hasWidgets(root, kWidgets); }));
    EXPECT_EQ(root->property("loadeds").toInt(), 3);
    EXPECT_EQ(itemEditor->property("currentGroup"), "Gravity Mode");
}

TEST(ItemEditor, destroyingTheEditorTakesItsComponentsMastersAndWidgetsAndLeavesTheItemsFree)
{
    QQuickItem* root = engine->load(kGame);
    QPointer<QObject> item = call(root, "make", "fire", 10).value<QObject*>();
    call(root, "make", "fire", 20);
    ASSERT_TRUE(waitUntil([&] { return hasWidgets(root, kWidgets); }));
    slider(root, "speed")->setProperty("value", 33);
    QPointer<QObject> component = item->findChild<QObject*>("editableComponent");
    QPointer<QObject> widget = delegate(root, "speed");
    QPointer<QObject> master = editor(root, "__masterOf", "fire", "fire").value<QObject*>();
    ASSERT_TRUE(component && widget && master);
    EXPECT_GT(bindingsOn(item), 0);

    call(root, "destroyEditor");
    EXPECT_TRUE(waitUntil([&] { return component.isNull() && widget.isNull() && master.isNull(); }));
    ASSERT_FALSE(item.isNull());
    EXPECT_EQ(bindingsOn(item), 0);
    EXPECT_EQ(call(root, "speeds").toList(), numbers({33, 33}));
}

TEST(ItemEditor, aGamesOwnWidgetFollowsItsTargetAndWritesIntoEveryBoundItem)
{
    writeTestFile(engine->folder() + "/qml/Meter.qml", kMeter);
    writeTestFile(engine->folder() + "/qml/Broken.qml", "import QtQuick 2.15\nItem { this is not qml }\n");
    MessageLog log;
    QQuickItem* root = engine->load(kCustomGame);
    call(root, "make", "gauge", 3);
    call(root, "make", "gauge", 8);
    QObject* meter = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (meter = root->findChild<QObject*>("meter")) != nullptr; }));
    EXPECT_TRUE(log.contains("[ItemEditor] ERROR: loading component failed:"));
    EXPECT_EQ(meter->property("shown").toDouble(), 3);
    EXPECT_EQ(call(root, "levels").toList(), numbers({3, 3}));
    EXPECT_TRUE(meter->property("bindingActive").toBool());

    meter->setProperty("shown", 6);
    EXPECT_EQ(call(root, "levels").toList(), numbers({6, 6}));
    // A script or a load changes the type's values: the widget follows and passes them on.
    call(root, "setMaster", "gauge", 9);
    EXPECT_EQ(meter->property("shown").toDouble(), 9);
    EXPECT_EQ(call(root, "levels").toList(), numbers({9, 9}));
    editor(root, "loadAllComponentsFromJSON", QVariantMap{{"gauge", QVariantMap{{"level", 4}}}});
    EXPECT_EQ(meter->property("shown").toDouble(), 4);
    EXPECT_EQ(call(root, "levels").toList(), numbers({4, 4}));

    // Any object can be bound, once; it takes the widget's value and keeps its last one when unbound.
    QObject* loose = root->findChild<QObject*>("loose");
    const QVariant meterValue = QVariant::fromValue(meter);
    const QVariant looseValue = QVariant::fromValue(loose);
    EXPECT_TRUE(call(root, "bind", meterValue, looseValue).toBool());
    EXPECT_TRUE(call(root, "bind", meterValue, looseValue).toBool());
    EXPECT_EQ(bindingsOn(loose), 1);
    EXPECT_EQ(loose->property("level").toDouble(), 4);
    EXPECT_TRUE(call(root, "unbind", meterValue, looseValue).toBool());
    EXPECT_FALSE(call(root, "unbind", meterValue, looseValue).toBool());
    meter->setProperty("shown", 1);
    EXPECT_EQ(loose->property("level").toDouble(), 4);

    // Hidden with its type, the widget writes nothing; shown again, it puts its value back.
    call(root, "make", "dial", 0);
    call(root, "setType", "dial");
    EXPECT_FALSE(meter->property("bindingActive").toBool());
    QObject* first = root->property("items").toList().first().value<QObject*>();
    first->setProperty("level", 2);
    meter->setProperty("shown", 7);
    EXPECT_EQ(call(root, "levels").toList().mid(0, 2), numbers({2, 1}));
    call(root, "setType", "gauge");
    EXPECT_EQ(call(root, "levels").toList().mid(0, 2), numbers({7, 7}));
}

TEST(ItemEditor, aTextIsEditedInTheEnginesOwnTextInput)
{
    QQuickItem* root = engine->load(kCustomGame);
    call(root, "make", "gauge", 3);
    call(root, "make", "gauge", 3);
    QQuickItem* input = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (input = findItem(root, "stringDelegateInput")) != nullptr; }));
    EXPECT_TRUE(input->inherits("TextInputItem"));
    EXPECT_EQ(input->property("placeholderText").toString(), "< Click here and enter text >");
    input->setProperty("text", "hello");
    for (QVariant item : root->property("items").toList())
        EXPECT_EQ(item.value<QObject*>()->property("text").toString(), "hello");
}

TEST(ItemEditor, aTextureIsChosenAmongThePicturesOfItsFolderShownSeveralToARow)
{
    for (const char* name : {"a", "b", "c"}) {
        QImage image(8, 8, QImage::Format_RGBA8888);
        image.fill(Qt::red);
        QDir().mkpath(engine->folder() + "/qml/tex");
        ASSERT_TRUE(image.save(engine->folder() + "/qml/tex/" + name + ".png"));
    }
    writeTestFile(engine->folder() + "/qml/tex/notes.txt", "not a picture");
    QQuickItem* root = engine->load(kTextureGame);
    call(root, "make", "sky");
    call(root, "make", "sky");
    QQuickItem* viewer = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (viewer = findItem(root, "textureItem")) != nullptr; }));
    QStringList names;
    for (const QVariant& source : viewer->property("imageSources").toList())
        names << source.toUrl().fileName();
    EXPECT_EQ(names, (QStringList{"a.png", "b.png", "c.png"}));
    EXPECT_LE(viewer->width(), 200);
    EXPECT_GT(viewer->property("thumbnailsPerRow").toInt(), 1);

    viewer->setProperty("fileUrl", viewer->property("imageSources").toList().last());
    for (const QString& texture : call(root, "textures").toStringList())
        EXPECT_TRUE(texture.endsWith("/qml/tex/c.png")) << texture.toStdString();
    EXPECT_EQ(editor(root, "saveComponentToJSON", "sky").toMap()["sky"].toMap()["texture"].toString(),
              "tex/c.png");
}

TEST(ItemEditor, theTitleListsTheTypesAndThePageButtonsTurnThePages)
{
    QQuickItem* root = engine->load(kGame);
    call(root, "make", "fire", 1);
    call(root, "make", "smoke", 2);
    call(root, "setType", "fire");
    ASSERT_TRUE(waitUntil([&] { return hasWidgets(root, kWidgets); }));
    QQuickItem* frame = findItem(root, "contentDelegate");
    const qreal h = frame->width() / 5;
    QMetaObject::invokeMethod(frame, "toggleTypeList");
    QQuickItem* list = findItem(root, "itemEditorTypeList");
    ASSERT_TRUE(list->isVisible());
    const QList<QQuickItem*> buttons = itemsNamed(list, "button");
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_EQ(buttons[1]->property("text").toString(), "smoke");
    EXPECT_EQ(buttons[1]->height(), h);
    QMetaObject::invokeMethod(buttons[1], "clicked");
    EXPECT_EQ(editorOf(root)->property("currentEditableType").toString(), "smoke");
    EXPECT_FALSE(list->isVisible());

    // Three pages of widgets: the arrows show and go round.
    QQuickItem* next = findItem(root, "itemEditorHeader_nextButton");
    ASSERT_TRUE(next->isVisible());
    QStringList seen;
    for (int i = 0; i < 4; ++i) {
        seen << editorOf(root)->property("currentGroup").toString();
        QMetaObject::invokeMethod(next, "clicked");
    }
    EXPECT_EQ(seen, (QStringList{"Color", "Gravity Mode", "smoke", "Color"}));
}

TEST(ItemEditor, valuesAndTypeNamesThatLookLikeCodeStayText)
{
    QQuickItem* root = engine->load(kGame);
    const QString code = "a\"); window.hacked = true; (\"\\";
    const QString type = "x\" + (window.hacked = true) + \"\\";
    call(root, "make", type, 1, code);
    call(root, "make", type, 2, "b");
    call(root, "setType", type);
    ASSERT_TRUE(waitUntil([&] { return hasWidgets(root, kWidgets); }));
    EXPECT_FALSE(root->property("hacked").toBool());
    EXPECT_EQ(call(root, "texts").toStringList(), (QStringList{code, code}));

    const QString folder = engine->folder() + "/code/";
    ASSERT_TRUE(editor(root, "saveItem", folder, type, "Plain").toBool());
    QFile file(folder + "Plain.json");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QJsonDocument::fromJson(file.readAll()).object()["Plain"].toObject()["text"].toString(), code);
    editor(root, "loadItem", folder, "Plain");
    EXPECT_FALSE(root->property("hacked").toBool());
}

TEST(ItemEditor, typeNamesThatScriptObjectsCarryAreTypesLikeAnyOther)
{
    MessageLog log;
    QQuickItem* root = engine->load(kGame);
    const QStringList names{"constructor", "toString", "__proto__"};
    for (const QString& name : names)
        call(root, "make", name, 10);
    EXPECT_TRUE(waitUntil([&] { return editor(root, "getAllEditableTypes").toStringList() == names; }));
    double speed = 20;
    QVariantList speeds{10, 10, 10};
    for (int i = 0; i < names.size(); ++i) {
        call(root, "setType", names[i]);
        ASSERT_TRUE(waitUntil([&] { return hasWidgets(root, kWidgets); })) << names[i].toStdString();
        slider(root, "speed")->setProperty("value", speed);
        speeds[i] = speed++;
        EXPECT_EQ(call(root, "speeds").toList(), speeds) << names[i].toStdString();
    }

    // Saved under such a name, and merged into one.
    const QString folder = engine->folder() + "/named/";
    ASSERT_TRUE(editor(root, "saveItem", folder, "constructor", "valueOf").toBool());
    ASSERT_TRUE(editor(root, "saveItem", folder, "valueOf", "__proto__").toBool());
    EXPECT_EQ(editor(root, "getAllEditableTypes").toStringList(), (QStringList{"__proto__", "toString"}));
    QFile file(folder + "__proto__.json");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QJsonDocument::fromJson(file.readAll()).object()["__proto__"].toObject()["speed"].toDouble(),
              20);
    ASSERT_TRUE(waitUntil([&] { return hasWidgets(root, kWidgets); }));
    slider(root, "speed")->setProperty("value", 5);
    EXPECT_EQ(call(root, "speeds").toList(), numbers({5, 21, 5}));
    EXPECT_FALSE(log.contains("Error")) << log.lines().join("\n").toStdString();
}

TEST(ItemEditor, theColourWidgetLeavesTheColoursOpacityAlone)
{
    QQuickItem* root = engine->load(kGame);
    call(root, "make", "fire", 1);
    call(root, "make", "fire", 2);
    call(root, "setAlphas", 0.0);
    call(root, "setType", "fire");
    ASSERT_TRUE(waitUntil([&] { return hasWidgets(root, kWidgets); }));

    // The picker starts at the items' channels; moving its red slider recolours every item, alpha kept.
    QObject* red = widgetPart(root, "startColor", "colorPickerRed");
    QObject* green = widgetPart(root, "startColor", "colorPickerGreen");
    ASSERT_TRUE(red && green);
    EXPECT_EQ(red->property("value").toInt(), 0xc2);
    EXPECT_EQ(green->property("value").toInt(), 0x40);
    red->setProperty("value", 255);
    EXPECT_EQ(call(root, "colours").toStringList(), (QStringList{"#00ff401f", "#00ff401f"}));
}

TEST(ItemEditor, aBlendSliderOffersOnlyItsValuesAndReportsAnyOtherWithoutWriting)
{
    MessageLog log;
    QQuickItem* root = engine->load(kGame);
    QObject* item = call(root, "make", "love", 1).value<QObject*>();
    call(root, "setType", "love");
    ASSERT_TRUE(waitUntil([&] { return hasWidgets(root, kWidgets); }));
    EXPECT_EQ(log.lines().filter("[NumberDelegate] WARNING: blendFuncSource holds 737").size(), 1);
    EXPECT_EQ(item->property("blendFuncSource").toInt(), 737);
}

TEST(ItemEditor, theListEditorAddsRemovesReordersAndEditsElementsOfEveryItem)
{
    QQuickItem* root = engine->load(kArrayGame);
    call(root, "make", "dots");
    call(root, "make", "dots");
    call(root, "setType", "dots");
    ASSERT_TRUE(waitUntil([&] { return call(root, "list", "sizes").value<QObject*>() != nullptr; }));
    const QString two = R"([{"x":10,"y":2.5},{"x":30,"y":4}])";
    EXPECT_EQ(call(root, "values", "points").toStringList(), (QStringList{two, two}));

    // A field's slider writes that field into every item; the metadata's range is the first field's.
    QObject* x1 = call(root, "elementSlider", "points", 1, "x").value<QObject*>();
    ASSERT_NE(x1, nullptr);
    EXPECT_EQ(x1->property("maximumValue").toDouble(), 100);
    EXPECT_EQ(
        call(root, "elementSlider", "points", 1, "y").value<QObject*>()->property("stepSize").toDouble(), 1);
    EXPECT_EQ(
        call(root, "elementSlider", "points", 0, "y").value<QObject*>()->property("stepSize").toDouble(),
        0.1);
    x1->setProperty("value", 42);
    const QString edited = R"([{"x":10,"y":2.5},{"x":42,"y":4}])";
    EXPECT_EQ(call(root, "values", "points").toStringList(), (QStringList{edited, edited}));

    // Select the second, move it up, copy it with "+", then remove the selection.
    call(root, "run", "points", "select", 1);
    EXPECT_EQ(call(root, "colours", "points").toStringList(), (QStringList{"#0000ff", "#ff0000"}));
    call(root, "run", "points", "moveUp");
    call(root, "run", "points", "moveUp");
    const QString swapped = R"([{"x":42,"y":4},{"x":10,"y":2.5}])";
    EXPECT_EQ(call(root, "values", "points").toStringList(), (QStringList{swapped, swapped}));
    call(root, "run", "points", "add");
    EXPECT_EQ(call(root, "values", "points").toStringList()[1],
              R"([{"x":42,"y":4},{"x":10,"y":2.5},{"x":42,"y":4}])");
    call(root, "run", "points", "moveDown");
    call(root, "run", "points", "removeSelected");
    EXPECT_EQ(call(root, "values", "points").toStringList()[0], R"([{"x":10,"y":2.5},{"x":42,"y":4}])");
    EXPECT_EQ(call(root, "list", "points").value<QObject*>()->property("selectedItem").toInt(), 0);

    // One plain number: "-" empties the list and the selection; "+" then copies the list's first entry.
    call(root, "run", "sizes", "select", 0);
    call(root, "run", "sizes", "removeSelected");
    EXPECT_EQ(call(root, "values", "sizes").toStringList(), (QStringList{"[]", "[]"}));
    EXPECT_EQ(call(root, "list", "sizes").value<QObject*>()->property("selectedItem").toInt(), -1);
    call(root, "run", "sizes", "add");
    EXPECT_EQ(call(root, "values", "sizes").toStringList(), (QStringList{"[5]", "[5]"}));
    EXPECT_EQ(call(root, "list", "sizes").value<QObject*>()->property("selectedItem").toInt(), 0);

    // A later item of the type takes the edited list.
    call(root, "make", "dots");
    EXPECT_EQ(call(root, "values", "sizes").toStringList().last(), "[5]");
    EXPECT_EQ(call(root, "values", "points").toStringList().last(), R"([{"x":10,"y":2.5},{"x":42,"y":4}])");

    // Lists are saved as JSON arrays and loaded back into every item and the list editor.
    const QString folder = engine->folder() + "/lists/";
    ASSERT_TRUE(editor(root, "saveItem", folder, "dots", "Dots").toBool());
    QFile file(folder + "Dots.json");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QJsonObject values = QJsonDocument::fromJson(file.readAll()).object()["Dots"].toObject();
    file.close();
    EXPECT_EQ(QJsonDocument(values["points"].toArray()).toJson(QJsonDocument::Compact),
              R"([{"x":10,"y":2.5},{"x":42,"y":4}])");
    values["sizes"] = QJsonArray{7, 8};
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(QJsonObject{{"Dots", values}}).toJson());
    file.close();
    editor(root, "loadItem", folder, "Dots");
    EXPECT_EQ(call(root, "values", "sizes").toStringList(), (QStringList{"[7,8]", "[7,8]", "[7,8]"}));
    EXPECT_EQ(call(root, "list", "sizes").value<QObject*>()->property("elements").toList().size(), 2);
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
