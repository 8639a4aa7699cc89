#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

class QJSValue;

namespace ZanthJson {

// Stateless JSON reader and writer over QVariant maps and lists. The writer's text is the form of the
// effect files and of everything QML writes through system.stringify, so its spacing is fixed.
class Json
{
public:
    // Objects become QVariantMap, arrays QVariantList, numbers double (with "." or an exponent),
    // qlonglong (leading "-") or qulonglong, null an invalid variant. Text after the first value is ignored.
    static QVariant parse(const QString& json);
    // As above; success is false when the text is not valid JSON. A null string gives an invalid
    // variant and leaves success true.
    static QVariant parse(const QString& json, bool& success);

    // UTF-8 JSON text of data on one line, or a null byte array when a value cannot be written (a type
    // with no JSON form, a NaN or an infinity). basePath is removed from every URL.
    static QByteArray serialize(const QVariant& data, const QString& basePath = QString());
    static QByteArray serialize(const QVariant& data, bool& success, const QString& basePath = QString());

    // A value handed over from QML JavaScript as plain Qt data: objects become QVariantMap, arrays
    // QVariantList, every number a double (as QML 1 delivered them), null and undefined an invalid variant,
    // points, colours and URLs their Qt types. A variant that holds no script value is returned unchanged.
    // A value that contains itself, nests deeper than the reader accepts or holds more than about a
    // million values (holes of sparse arrays included) gives an invalid variant and success false.
    static QVariant fromScriptValue(const QVariant& value);
    static QVariant fromScriptValue(const QVariant& value, bool& success);
    static QVariant fromScriptValue(const QJSValue& value);
    static QVariant fromScriptValue(const QJSValue& value, bool& success);

private:
    enum Token {
        TokenNone = 0,
        TokenCurlyOpen = 1,
        TokenCurlyClose = 2,
        TokenSquaredOpen = 3,
        TokenSquaredClose = 4,
        TokenColon = 5,
        TokenComma = 6,
        TokenString = 7,
        TokenNumber = 8,
        TokenTrue = 9,
        TokenFalse = 10,
        TokenNull = 11
    };

    static QVariant parseValue(const QString& json, int& index, bool& success, int depth);
    static QVariant parseObject(const QString& json, int& index, bool& success, int depth);
    static QVariant parseArray(const QString& json, int& index, bool& success, int depth);
    static QVariant parseString(const QString& json, int& index, bool& success);
    static QVariant parseNumber(const QString& json, int& index, bool& success);
    static int lastIndexOfNumber(const QString& json, int index);
    static void eatWhitespace(const QString& json, int& index);
    static int lookAhead(const QString& json, int index);
    static int nextToken(const QString& json, int& index);
};

} // namespace ZanthJson
