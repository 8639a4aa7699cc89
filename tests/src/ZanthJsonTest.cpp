#include <gtest/gtest.h>

#include <QColor>
#include <QCoreApplication>
#include <QJSValue>
#include <QPointF>
#include <QProcess>
#include <QQmlContext>
#include <QQmlEngine>
#include <QUrl>

#include <limits>

#include "zanthjson.h"

using ZanthJson::Json;

namespace {

QVariant parsed(const QString& text, bool* ok = nullptr)
{
    bool success = false;
    const QVariant value = Json::parse(text, success);
    if (ok) {
        *ok = success;
    }
    return value;
}

QByteArray written(const QVariant& value, const QString& basePath = QString())
{
    bool success = false;
    const QByteArray text = Json::serialize(value, success, basePath);
    EXPECT_EQ(success, !text.isNull());
    return text;
}

// Python reads each text and writes it back in its own canonical form, one line per text.
QStringList pythonRoundTrip(const QList<QByteArray>& texts)
{
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import json, sys\n"
                                 "for line in sys.stdin.buffer.read().decode('utf-8').split('\\n')[:-1]:\n"
                                 "    print(json.dumps(json.loads(line, parse_constant=lambda c: 1/0)))\n")});
    for (const QByteArray& text : texts) {
        python.write(text + "\n");
    }
    python.closeWriteChannel();
    EXPECT_TRUE(python.waitForFinished(30000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    return QString::fromUtf8(python.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

class ScriptReceiver : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE QString write(const QJSValue& value) { return QString::fromUtf8(Json::serialize(QVariant::fromValue(value))); }
    Q_INVOKABLE QString writeVariant(const QVariant& value) { return QString::fromUtf8(Json::serialize(value)); }
};

} // namespace

TEST(ZanthJsonReader, readsObjectsArraysAndScalars)
{
    bool ok = false;
    const QVariantMap map = parsed(QStringLiteral(" {\"a\" : [1, -2, 3.5, true, false, null, \"x\"], \"b\" : {}}"), &ok).toMap();
    ASSERT_TRUE(ok);
    const QVariantList list = map.value(QStringLiteral("a")).toList();
    ASSERT_EQ(list.size(), 7);
    EXPECT_EQ(list[0].typeId(), QMetaType::ULongLong);
    EXPECT_EQ(list[1].typeId(), QMetaType::LongLong);
    EXPECT_EQ(list[1].toLongLong(), -2);
    EXPECT_EQ(list[2].typeId(), QMetaType::Double);
    EXPECT_EQ(list[3], QVariant(true));
    EXPECT_EQ(list[4], QVariant(false));
    EXPECT_FALSE(list[5].isValid());
    EXPECT_EQ(list[6], QVariant(QStringLiteral("x")));
    EXPECT_EQ(map.value(QStringLiteral("b")).typeId(), QMetaType::QVariantMap);
}

TEST(ZanthJsonReader, repeatedKeyKeepsLastValue)
{
    const QVariantMap map = parsed(QStringLiteral("{\"a\":1,\"a\":2}")).toMap();
    EXPECT_EQ(map.size(), 1);
    EXPECT_EQ(map.value(QStringLiteral("a")), QVariant(qulonglong(2)));
}

TEST(ZanthJsonReader, commasAreOptionalAndMayRepeat)
{
    bool ok = false;
    const QVariantList expected{qulonglong(1), qulonglong(2), qulonglong(3)};
    EXPECT_EQ(parsed(QStringLiteral("[1 2 3]"), &ok).toList(), expected);
    EXPECT_TRUE(ok);
    EXPECT_EQ(parsed(QStringLiteral("[1,,2,3,]"), &ok).toList(), expected);
    EXPECT_TRUE(ok);
}

TEST(ZanthJsonReader, exponentWithoutPointReadsAsDouble)
{
    bool ok = false;
    EXPECT_EQ(parsed(QStringLiteral("1e5"), &ok), QVariant(100000.0));
    EXPECT_TRUE(ok);
    EXPECT_EQ(parsed(QStringLiteral("-2E-3"), &ok), QVariant(-0.002));
    EXPECT_EQ(parsed(QStringLiteral("1e+20"), &ok), QVariant(1e20));
}

TEST(ZanthJsonReader, malformedOrHugeNumbers)
{
    bool ok = true;
    parsed(QStringLiteral("[1-2]"), &ok);
    EXPECT_FALSE(ok);
    parsed(QStringLiteral("-"), &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(parsed(QStringLiteral("18446744073709551616"), &ok), QVariant(18446744073709551616.0));
    EXPECT_TRUE(ok);
}

TEST(ZanthJsonReader, stringEscapes)
{
    bool ok = false;
    EXPECT_EQ(parsed(QStringLiteral("\"a\\\"\\\\\\/\\b\\f\\n\\r\\t\\u00e9\\ud83d\\ude00\""), &ok).toString(),
              QStringLiteral("a\"\\/\b\f\n\r\t\u00e9\U0001F600"));
    EXPECT_TRUE(ok);
    EXPECT_EQ(parsed(QStringLiteral("\"\\q\""), &ok).toString(), QString());
    EXPECT_TRUE(ok);
    EXPECT_EQ(parsed(QStringLiteral("\"\\uzzzz\""), &ok).toString(), QString(QChar(0)));
}

TEST(ZanthJsonReader, failuresAndNullText)
{
    bool ok = true;
    EXPECT_FALSE(parsed(QStringLiteral("\"open"), &ok).isValid());
    EXPECT_FALSE(ok);
    parsed(QStringLiteral("\"\\u12\""), &ok);
    EXPECT_FALSE(ok);
    parsed(QStringLiteral(""), &ok);
    EXPECT_FALSE(ok);
    parsed(QStringLiteral("{\"a\" 1}"), &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(parsed(QStringLiteral("[1, 2"), &ok), QVariant(QVariantList()));
    EXPECT_FALSE(ok);
    EXPECT_EQ(parsed(QStringLiteral("{\"a\" : nope}"), &ok), QVariant(QVariantMap()));
    EXPECT_FALSE(ok);

    ok = false;
    EXPECT_FALSE(parsed(QString(), &ok).isValid());
    EXPECT_TRUE(ok);
}

TEST(ZanthJsonReader, textAfterFirstValueIsIgnored)
{
    bool ok = false;
    EXPECT_EQ(parsed(QStringLiteral("true false"), &ok), QVariant(true));
    EXPECT_TRUE(ok);
    EXPECT_EQ(parsed(QStringLiteral("truex"), &ok), QVariant(true));
}

TEST(ZanthJsonReader, deepNestingFailsInsteadOfOverflowing)
{
    bool ok = true;
    parsed(QString(100000, QLatin1Char('[')), &ok);
    EXPECT_FALSE(ok);
    const QString nested = QString(100, QLatin1Char('[')) + QString(100, QLatin1Char(']'));
    parsed(nested, &ok);
    EXPECT_TRUE(ok);
}

TEST(ZanthJsonWriter, exactTextOfMapsListsAndScalars)
{
    QVariantMap map;
    map.insert(QStringLiteral("b"), 5.0);
    map.insert(QStringLiteral("a"), QVariantList{0.26, qulonglong(3), 3, true, QVariant()});
    map.insert(QStringLiteral("c"), QVariantMap());
    map.insert(QStringLiteral("d"), QVariantList());
    EXPECT_EQ(written(map),
              QByteArray("{ \"a\" : [ 0.26000000000000000888, 3, 3, true, null ], \"b\" : 5.0, \"c\" : {  }, "
                         "\"d\" : [  ] }"));
    EXPECT_EQ(written(3.0), QByteArray("3.0"));
    EXPECT_EQ(written(0.1), QByteArray("0.10000000000000000555"));
    EXPECT_EQ(written(3), QByteArray("3"));
    EXPECT_EQ(written(1e20), QByteArray("1e+20"));
    EXPECT_EQ(written(QStringList{QStringLiteral("x")}), QByteArray("[ \"x\" ]"));
    QVariantHash hash;
    hash.insert(QStringLiteral("z"), 1);
    hash.insert(QStringLiteral("y"), 2);
    EXPECT_EQ(written(hash), QByteArray("{ \"y\" : 2, \"z\" : 1 }"));
}

TEST(ZanthJsonWriter, stringsAreEscaped)
{
    EXPECT_EQ(written(QStringLiteral("a\nb/c\"d\\e\tf\u00e9")), QByteArray("\"a\\nb/c\\\"d\\\\e\\tf\xc3\xa9\""));
    EXPECT_EQ(written(QString(QChar(1))), QByteArray("\"\\u0001\""));
    EXPECT_EQ(written(QByteArray("raw")), QByteArray("\"raw\""));
}

TEST(ZanthJsonWriter, pointsColoursAndUrls)
{
    EXPECT_EQ(written(QPointF(0.5, 2)), QByteArray("\"0.5, 2.0\""));
    EXPECT_EQ(written(QPointF(7, 1000)), QByteArray("\"7.0, 1000.0\""));
    EXPECT_EQ(written(QColor(194, 64, 31, 128)), QByteArray("\"#c2401f\""));
    EXPECT_EQ(written(QUrl(QStringLiteral("qrc:/qml/particles/fire.png")), QStringLiteral(":/qml/")),
              QByteArray("\"particles/fire.png\""));
    EXPECT_EQ(written(QUrl(QStringLiteral("qrc:/qml/particles/fire.png"))),
              QByteArray("\"qrc:/qml/particles/fire.png\""));
    EXPECT_EQ(written(QUrl(QStringLiteral("file:///home/u/Documents/fx/a.png")),
                      QStringLiteral("file:///home/u/Documents/fx/")),
              QByteArray("\"a.png\""));
    QVariantMap nested;
    nested.insert(QStringLiteral("t"), QVariantList{QUrl(QStringLiteral("qrc:/qml/a.png"))});
    EXPECT_EQ(written(nested, QStringLiteral(":/qml/")), QByteArray("{ \"t\" : [ \"a.png\" ] }"));
}

TEST(ZanthJsonWriter, unwritableValuesFailTheWholeText)
{
    bool success = true;
    EXPECT_TRUE(Json::serialize(QVariantList{1, QVariant::fromValue(static_cast<QObject*>(nullptr))}, success).isNull());
    EXPECT_FALSE(success);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const QVariant& bad : {QVariant(nan), QVariant(inf), QVariant(-inf), QVariant(QPointF(inf, 0))}) {
        success = true;
        QVariantMap map;
        map.insert(QStringLiteral("v"), bad);
        EXPECT_TRUE(Json::serialize(map, success).isNull());
        EXPECT_FALSE(success);
    }
}

TEST(ZanthJsonWriter, everyWrittenTextReadsBackInPython)
{
    QVariantMap effect;
    effect.insert(QStringLiteral("gravity"), QPointF(7, 1000));
    effect.insert(QStringLiteral("startColor"), QColor(QStringLiteral("#c2401f")));
    effect.insert(QStringLiteral("speed"), 85.0);
    effect.insert(QStringLiteral("particleLifespan"), 0.9);
    effect.insert(QStringLiteral("maxParticles"), 42);
    QVariantMap file;
    file.insert(QStringLiteral("FireParticle"), effect);

    const QList<QVariant> values{
        file,
        QVariantList{},
        QVariantMap{},
        QVariantList{QVariantList{}, QVariantMap{}, QVariant(), true, false},
        QVariantList{0.1, 1e20, 1e-7, -0.0, 123456789.0, std::numeric_limits<double>::max(),
                     std::numeric_limits<double>::denorm_min(), qulonglong(18446744073709551615ULL),
                     qlonglong(-9223372036854775807LL), -1},
        QStringLiteral("quote\" backslash\\ slash/ controls\b\f\n\r\t\x01\x1f unicode \u00e9\u4e2d\U0001F600"),
        QVariantMap{{QStringLiteral("key \"with\"\nodd\\chars"), QStringLiteral("v")}},
        QUrl(QStringLiteral("file:///C:\\dir\\\"q\".png")),
    };
    QList<QByteArray> texts;
    for (const QVariant& value : values) {
        const QByteArray text = written(value, QStringLiteral("/nothing/"));
        ASSERT_FALSE(text.isNull());
        EXPECT_FALSE(text.contains('\n'));
        texts << text;
    }
    const QStringList canonical = pythonRoundTrip(texts);
    ASSERT_EQ(canonical.size(), texts.size());
    for (int i = 0; i < texts.size(); ++i) {
        bool ok = false;
        const QVariant ours = Json::parse(QString::fromUtf8(texts[i]), ok);
        ASSERT_TRUE(ok) << texts[i].toStdString();
        const QVariant theirs = Json::parse(canonical[i], ok);
        ASSERT_TRUE(ok) << canonical[i].toStdString();
        EXPECT_EQ(ours, theirs) << texts[i].toStdString() << "\n" << canonical[i].toStdString();
    }
}

TEST(ZanthJsonWriter, readsBackItsOwnText)
{
    QVariantMap map;
    map.insert(QStringLiteral("d"), 0.9);
    map.insert(QStringLiteral("e"), 2.5e-300);
    map.insert(QStringLiteral("n"), QVariantList{QVariant(), QStringLiteral("s")});
    bool ok = false;
    EXPECT_EQ(Json::parse(QString::fromUtf8(written(map)), ok), QVariant(map));
    EXPECT_TRUE(ok);
}

TEST(ZanthJsonScript, numbersFromScriptAreDoubles)
{
    QQmlEngine engine;
    ScriptReceiver receiver;
    engine.rootContext()->setContextProperty(QStringLiteral("receiver"), &receiver);
    auto evaluate = [&](const QString& code) {
        const QJSValue result = engine.evaluate(code);
        EXPECT_FALSE(result.isError()) << result.toString().toStdString();
        return result.toString();
    };
    const QString object = QStringLiteral("({b: 3, a: [1, 2.5, null, undefined, \"t\"], c: {}, p: Qt.point(7, 1000), "
                                          "k: Qt.rgba(1, 0, 0, 1), u: Qt.resolvedUrl(\"qrc:/x.png\"), t: true})");
    const QString expected = QStringLiteral("{ \"a\" : [ 1.0, 2.5, null, null, \"t\" ], \"b\" : 3.0, \"c\" : {  }, "
                                            "\"k\" : \"#ff0000\", \"p\" : \"7.0, 1000.0\", \"t\" : true, "
                                            "\"u\" : \"qrc:/x.png\" }");
    const QJSValue receiverValue = engine.newQObject(&receiver);
    engine.globalObject().setProperty(QStringLiteral("receiver"), receiverValue);
    engine.setObjectOwnership(&receiver, QQmlEngine::CppOwnership);
    EXPECT_EQ(evaluate(QStringLiteral("receiver.write") + object), expected);
    EXPECT_EQ(evaluate(QStringLiteral("receiver.writeVariant") + object), expected);
    EXPECT_EQ(evaluate(QStringLiteral("receiver.write(5)")), QStringLiteral("5.0"));
    EXPECT_EQ(evaluate(QStringLiteral("receiver.write([])")), QStringLiteral("[  ]"));

    EXPECT_EQ(Json::fromScriptValue(engine.evaluate(QStringLiteral("[4]"))), QVariant(QVariantList{4.0}));
    EXPECT_FALSE(Json::fromScriptValue(engine.evaluate(QStringLiteral("null"))).isValid());
    EXPECT_EQ(Json::fromScriptValue(QVariant(7)), QVariant(7));
}

class ZanthJsonScriptGraph : public testing::Test
{
protected:
    QVariant converted(const QString& code, bool* ok)
    {
        const QJSValue value = engine.evaluate(code);
        EXPECT_FALSE(value.isError()) << value.toString().toStdString();
        bool success = false;
        const QVariant result = Json::fromScriptValue(value, success);
        *ok = success;
        return result;
    }

    QQmlEngine engine;
};

TEST_F(ZanthJsonScriptGraph, valueThatContainsItselfFails)
{
    bool ok = true;
    EXPECT_FALSE(converted(QStringLiteral("var a = {x: 1}; a.self = a; a"), &ok).isValid());
    EXPECT_FALSE(ok);
    converted(QStringLiteral("var b = [1]; b.push(b); b"), &ok);
    EXPECT_FALSE(ok);
    converted(QStringLiteral("var c = {d: {e: [0, {}]}}; c.d.e[1].back = c.d; c"), &ok);
    EXPECT_FALSE(ok);
    // The same object twice is a tree, not a cycle.
    const QVariant shared = converted(QStringLiteral("var s = {v: 2}; ({a: s, b: [s, s]})"), &ok);
    EXPECT_TRUE(ok);
    const QVariantMap two{{QStringLiteral("v"), 2.0}};
    EXPECT_EQ(shared, QVariant(QVariantMap{{QStringLiteral("a"), two}, {QStringLiteral("b"), QVariantList{two, two}}}));
}

TEST_F(ZanthJsonScriptGraph, nestingIsLimitedLikeTheReader)
{
    bool ok = false;
    const QString nest = QStringLiteral("var n = 1; for (var i = 0; i < %1; ++i) n = i % 2 ? [n] : {k: n}; n");
    converted(nest.arg(512), &ok);
    EXPECT_TRUE(ok);
    converted(nest.arg(513), &ok);
    EXPECT_FALSE(ok);
    converted(nest.arg(200000), &ok);
    EXPECT_FALSE(ok);
    bool readOk = false;
    Json::parse(QString(512, QLatin1Char('[')) + QString(512, QLatin1Char(']')), readOk);
    EXPECT_TRUE(readOk);
    Json::parse(QString(513, QLatin1Char('[')) + QString(513, QLatin1Char(']')), readOk);
    EXPECT_FALSE(readOk);
}

TEST_F(ZanthJsonScriptGraph, sparseArraysKeepTheirHolesAndAreBounded)
{
    bool ok = false;
    const QVariant sparse = converted(QStringLiteral("var a = [1]; a[3] = 't'; a.name = 'x'; a['02'] = 5; a"), &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(sparse, QVariant(QVariantList{1.0, QVariant(), QVariant(), QStringLiteral("t")}));

    converted(QStringLiteral("var h = [1]; h[30000000] = 1; h"), &ok);
    EXPECT_FALSE(ok);
    converted(QStringLiteral("var m = []; m.length = 4294967295; m"), &ok);
    EXPECT_FALSE(ok);
    // A few objects that share children still make a huge tree.
    converted(QStringLiteral("var t = [0]; for (var i = 0; i < 40; ++i) t = [t, t]; t"), &ok);
    EXPECT_FALSE(ok);

    const QVariant dense = converted(QStringLiteral("var d = []; for (var i = 0; i < 100000; ++i) d.push(i); d"), &ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(dense.toList().size(), 100000);
    EXPECT_EQ(dense.toList().last(), QVariant(99999.0));
}

TEST_F(ZanthJsonScriptGraph, writerFailsOnAScriptValueThatCantBeConverted)
{
    bool ok = true;
    const QJSValue cyclic = engine.evaluate(QStringLiteral("var a = [1]; a.push(a); a"));
    EXPECT_TRUE(Json::serialize(QVariant::fromValue(cyclic), ok).isNull());
    EXPECT_FALSE(ok);
    const QJSValue wrapped = engine.evaluate(QStringLiteral("({p: Qt.point(1, 2)})"));
    EXPECT_EQ(Json::serialize(QVariant::fromValue(wrapped), ok), QByteArray("{ \"p\" : \"1.0, 2.0\" }"));
    EXPECT_TRUE(ok);
}

TEST_F(ZanthJsonScriptGraph, aFunctionIsWrittenAsNull)
{
    bool ok = false;
    for (const char* code : {"(function() {})", "({a: 1, f: function() {}})", "[Math.max]"}) {
        const QJSValue value = engine.evaluate(QString::fromLatin1(code));
        ok = false;
        const QByteArray text = Json::serialize(QVariant::fromValue(value), ok);
        EXPECT_TRUE(ok) << code;
        EXPECT_FALSE(text.isEmpty()) << code;
    }
    const QVariant object = converted(QStringLiteral("({a: 1, f: function() {}})"), &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(object, QVariant(QVariantMap{{QStringLiteral("a"), 1.0}, {QStringLiteral("f"), QVariant()}}));
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "ZanthJsonTest.moc"
