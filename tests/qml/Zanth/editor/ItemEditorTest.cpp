// The property editor on the engine started in the test process: one widget per property shared by
// every item of a type, saving and renaming a type, loading it back, and values that look like code.

#include <gtest/gtest.h>

#include "InProcessEngine.h"
#include "MessageLog.h"
#include "QtPrinters.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
    function make(type, speed, text) {
        var item = holder.createObject(scene, { "type": type, "speed": speed, "text": text === undefined ? "a" : text })
        items.push(item)
        return item
    }
    function speeds(a, b, c) { return items.map(function(i) { return i.speed }) }
    function texts(a, b, c) { return items.map(function(i) { return i.text }) }
    function removeType(type, b, c) {
        items.filter(function(i) { return i.type === type }).forEach(function(i) { i.destroy() })
        items = items.filter(function(i) { return i.type !== type })
    }
    function call(name, a, b, c) { return editor[name](a, b, c) }
    function setType(type, b, c) { editor.currentEditableType = type }
    function delegateNames(a, b, c) { return Object.keys(editor.__delegates).sort() }
    // Moves nothing but makes the colour widget write its colour, as a slider move does.
    function touchColour(a, b, c) { editor.__delegates["startColor"].edited(); return items.map(function(i) { return i.startColor.a }) }
    function setAlphas(alpha, b, c) { items.forEach(function(i) { i.startColor.a = alpha }) }
    function colours(a, b, c) { return items.map(function(i) { return String(i.startColor) }) }
    Component {
        id: holder
        Item {
            id: it
            property string type
            property real speed: 0
            property color startColor: "#c2401f"
            property point gravity: Qt.point(1, 2)
            property string text
            property int blendFuncSource: 737
            EditableComponent {
                target: it
                editableType: it.type
                targetEditor: editor
                keepOneInstanceInMemory: false
                properties: ({ "Gravity Mode": { "speed": { "min": 0, "max": 1000 }, "gravity": {} },
                               "Color": { "startColor": {} }, "text": {},
                               "blendFuncSource": { "values": [1, 770, 771] } })
            }
        }
    }
    Scene {
        id: scene
        width: 480; height: 320
        ItemEditor { id: editor; width: 150; height: 320 }
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
    function list(name, b, c) { return editor.__delegates[name].content }
    function elementCount(name, b, c) { var d = editor.__delegates[name]; return d ? d.content.elements.length : -1 }
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

// The editor builds its widgets and drops types on 50-ms timers: run frames until the condition holds.
bool settled(const std::function<bool()>& condition)
{
    return engine->stepUntil(condition);
}

QVariantList numbers(std::initializer_list<double> values)
{
    QVariantList list;
    for (double v : values)
        list << v;
    return list;
}

} // namespace

TEST(ItemEditor, aWidgetEditsEveryItemOfItsTypeAndLaterItemsTakeTheEditedValues)
{
    QQuickItem* root = engine->load(kGame);
    call(root, "make", "fire", 10);
    call(root, "make", "fire", 20);
    call(root, "make", "smoke", 30);
    call(root, "setType", "fire");
    EXPECT_TRUE(settled([&] { return call(root, "delegateNames").toStringList().size() == 5; }));
    EXPECT_EQ(editor(root, "getAllEditableTypes").toStringList(), (QStringList{"fire", "smoke"}));
    // The first fire item's values are the type's; one widget per editable property.
    EXPECT_EQ(call(root, "speeds").toList(), numbers({10, 10, 30}));
    EXPECT_EQ(call(root, "delegateNames").toStringList(),
              (QStringList{"blendFuncSource", "gravity", "speed", "startColor", "text"}));

    editor(root, "writeProperty", "speed", 77);
    EXPECT_EQ(call(root, "speeds").toList(), numbers({77, 77, 30}));
    call(root, "make", "fire", 5);
    EXPECT_EQ(call(root, "speeds").toList(), numbers({77, 77, 30, 77}));

    call(root, "setType", "smoke");
    editor(root, "writeProperty", "speed", 40);
    EXPECT_EQ(call(root, "speeds").toList(), numbers({77, 77, 40, 77}));

    // The last smoke item takes its type along.
    call(root, "removeType", "smoke");
    EXPECT_TRUE(settled([&] { return editor(root, "getAllEditableTypes").toStringList().size() == 1; }));
    EXPECT_EQ(editor(root, "getAllEditableTypes").toStringList(), QStringList{"fire"});
}

TEST(ItemEditor, savingUnderANewNameRenamesTheTypeAndLoadingGivesEveryItemTheFileValues)
{
    QQuickItem* root = engine->load(kGame);
    call(root, "make", "FireParticle", 85);
    call(root, "make", "FireParticle", 85);
    const QString folder = engine->folder() + "/saved/";
    ASSERT_TRUE(editor(root, "saveItem", folder, "FireParticle", "MyFire").toBool());
    EXPECT_EQ(editor(root, "getAllEditableTypes").toStringList(), QStringList{"MyFire"});

    QFile file(folder + "MyFire.json");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject saved = QJsonDocument::fromJson(file.readAll()).object();
    file.close();
    ASSERT_EQ(saved.keys(), QStringList{"MyFire"});
    const QJsonObject values = saved["MyFire"].toObject();
    EXPECT_EQ(values.keys(), (QStringList{"blendFuncSource", "gravity", "speed", "startColor", "text"}));
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

    // A name that has no master is reported, not invented.
    MessageLog log;
    call(root, "setType", "nothing");
    editor(root, "renameCurrentEditableType", "Other");
    EXPECT_TRUE(log.contains("[EditorStorage] No editableType nothing"));
}

TEST(ItemEditor, valuesAndTypeNamesThatLookLikeCodeStayText)
{
    QQuickItem* root = engine->load(kGame);
    const QString code = "a\"); window.hacked = true; (\"\\";
    const QString type = "x\" + (window.hacked = true) + \"\\";
    call(root, "make", type, 1, code);
    call(root, "make", type, 2, "b");
    call(root, "setType", type);
    EXPECT_TRUE(settled([&] { return call(root, "delegateNames").toStringList().size() == 5; }));
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

TEST(ItemEditor, theColourWidgetLeavesTheColoursOpacityAlone)
{
    QQuickItem* root = engine->load(kGame);
    call(root, "make", "fire", 1);
    call(root, "make", "fire", 2);
    call(root, "setAlphas", 0.0);
    call(root, "setType", "fire");
    EXPECT_TRUE(settled([&] { return call(root, "delegateNames").toStringList().contains("startColor"); }));
    const QVariantList alphas = call(root, "touchColour").toList();
    ASSERT_EQ(alphas.size(), 2);
    EXPECT_EQ(alphas[0].toDouble(), 0.0);
    EXPECT_EQ(alphas[1].toDouble(), 0.0);

    // The picker starts at the items' channels; moving its red slider recolours every item, alpha kept.
    QObject* red = root->findChild<QObject*>("colorPickerRed");
    QObject* green = root->findChild<QObject*>("colorPickerGreen");
    ASSERT_TRUE(red && green);
    EXPECT_EQ(red->property("value").toInt(), 0xc2);
    EXPECT_EQ(green->property("value").toInt(), 0x40);
    red->setProperty("value", 255);
    EXPECT_TRUE(settled([&] { return call(root, "colours").toStringList().value(1) != "#00c2401f"; }));
    EXPECT_EQ(call(root, "colours").toStringList(), (QStringList{"#00ff401f", "#00ff401f"}));
}

TEST(ItemEditor, aBlendSliderOffersOnlyItsValuesAndReportsAnyOtherWithoutWriting)
{
    MessageLog log;
    QQuickItem* root = engine->load(kGame);
    QObject* item = call(root, "make", "love", 1).value<QObject*>();
    call(root, "setType", "love");
    EXPECT_TRUE(
        settled([&] { return call(root, "delegateNames").toStringList().contains("blendFuncSource"); }));
    EXPECT_EQ(log.lines().filter("[NumberDelegate] WARNING: blendFuncSource holds 737").size(), 1);
    EXPECT_EQ(item->property("blendFuncSource").toInt(), 737);
}

TEST(ItemEditor, theListEditorAddsRemovesReordersAndEditsElementsOfEveryItem)
{
    QQuickItem* root = engine->load(kArrayGame);
    call(root, "make", "dots");
    call(root, "make", "dots");
    call(root, "setType", "dots");
    EXPECT_TRUE(settled([&] { return call(root, "elementCount", "points").toInt() == 2; }));
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
    EXPECT_TRUE(settled([&] { return call(root, "elementCount", "sizes").toInt() == 2; }));
    EXPECT_EQ(call(root, "values", "sizes").toStringList(), (QStringList{"[7,8]", "[7,8]", "[7,8]"}));
    EXPECT_EQ(call(root, "list", "sizes").value<QObject*>()->property("elements").toList().size(), 2);
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
