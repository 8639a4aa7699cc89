#include "zanthjson.h"

#include <QColor>
#include <QJSValue>
#include <QJSValueIterator>
#include <QPointF>
#include <QUrl>

#include <cmath>
#include <vector>

namespace ZanthJson {

namespace {

// Deeper nesting than this is refused instead of exhausting the stack on hostile input.
constexpr int kMaxDepth = 512;

QByteArray sanitizeString(QString str)
{
    str.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    str.replace(QLatin1String("\""), QLatin1String("\\\""));
    str.replace(QLatin1String("\b"), QLatin1String("\\b"));
    str.replace(QLatin1String("\f"), QLatin1String("\\f"));
    str.replace(QLatin1String("\n"), QLatin1String("\\n"));
    str.replace(QLatin1String("\r"), QLatin1String("\\r"));
    str.replace(QLatin1String("\t"), QLatin1String("\\t"));
    // Any other control character would make the text unreadable for strict JSON readers.
    QString escaped;
    escaped.reserve(str.size());
    for (const QChar c : std::as_const(str)) {
        if (c.unicode() < 0x20) {
            escaped += QStringLiteral("\\u%1").arg(uint(c.unicode()), 4, 16, QLatin1Char('0'));
        } else {
            escaped += c;
        }
    }
    return "\"" + escaped.toUtf8() + "\"";
}

QByteArray join(const QList<QByteArray>& list, const QByteArray& separator)
{
    QByteArray result;
    for (const QByteArray& text : list) {
        if (!result.isEmpty()) {
            result += separator;
        }
        result += text;
    }
    return result;
}

bool doubleText(double value, QByteArray& text)
{
    if (!std::isfinite(value)) {
        return false;
    }
    text = QByteArray::number(value, 'g', 20);
    if (!text.contains('.') && !text.contains('e')) {
        text += ".0";
    }
    return true;
}

QString urlText(const QUrl& url, QString basePath)
{
    QString text = url.toString();
    if (basePath.isEmpty()) {
        return text;
    }
    if (text.startsWith(QLatin1String("qrc"))) {
        text.remove(QLatin1String("qrc"));
    }
    if (text.startsWith(QLatin1String("file:"))) {
        text.remove(QLatin1String("file:"));
    }
    if (basePath.startsWith(QLatin1String("file:"))) {
        basePath.remove(QLatin1String("file:"));
    }
    text.remove(basePath);
    text.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return text;
}

int hexValue(const QString& text)
{
    int value = 0;
    for (const QChar c : text) {
        const int digit = QStringLiteral("0123456789abcdef").indexOf(c.toLower());
        if (digit < 0) {
            return 0;
        }
        value = value * 16 + digit;
    }
    return value;
}

// Script data is a graph, not a tree: a value may contain itself or share children many times over,
// and an array's length says nothing about how many elements it really holds. The conversion fails
// instead of recursing for ever or filling memory with the holes of a sparse array.
class ScriptConverter
{
public:
    QVariant convert(const QJSValue& value, int depth)
    {
        if (failed) {
            return QVariant();
        }
        if (value.isNull() || value.isUndefined()) {
            return QVariant();
        }
        if (value.isBool()) {
            return value.toBool();
        }
        if (value.isNumber()) {
            return value.toNumber();
        }
        if (value.isString()) {
            return value.toString();
        }
        // A function is no data: it is written as null, like anything else the writer cannot hold.
        if (value.isCallable()) {
            return QVariant();
        }
        if (value.isQObject() || value.isDate() || value.isUrl() || value.isVariant()) {
            const QVariant converted = value.toVariant();
            // Still a script value, it would be converted again and again.
            return converted.typeId() == qMetaTypeId<QJSValue>() ? QVariant() : converted;
        }
        // Points, colours and the like reach script as wrapped values; only plain objects and arrays
        // are walked here, without letting the script engine convert (and recurse into) them first.
        if (!value.isArray()) {
            const QVariant converted = value.toVariant(QJSValue::RetainJSObjects);
            if (converted.typeId() != qMetaTypeId<QJSValue>()) {
                return converted;
            }
        }
        if (depth >= kMaxDepth || isAncestor(value)) {
            failed = true;
            return QVariant();
        }
        ancestors.push_back(value);
        const QVariant result =
            value.isArray() ? convertArray(value, depth + 1) : convertObject(value, depth + 1);
        ancestors.pop_back();
        return result;
    }

    bool failed = false;

private:
    // Enough for any document the engine writes; a script array claiming more fails instead.
    static constexpr quint32 kMaxValues = 1u << 20;

    // Counts the values the result will hold; false (and failed) once there would be too many.
    bool spend(quint32 count)
    {
        if (count > kMaxValues - spent) {
            failed = true;
            return false;
        }
        spent += count;
        return true;
    }

    bool isAncestor(const QJSValue& value) const
    {
        for (const QJSValue& ancestor : ancestors) {
            if (ancestor.strictlyEquals(value)) {
                return true;
            }
        }
        return false;
    }

    QVariant convertArray(const QJSValue& array, int depth)
    {
        const quint32 length = array.property(QStringLiteral("length")).toUInt();
        if (!spend(length)) {
            return QVariant();
        }
        // The length is bounded before the walk, so a sparse array costs no more than a dense one of the
        // largest size accepted; walking by index is many times faster than by property names.
        QVariantList list(length);
        for (quint32 i = 0; i < length && !failed; ++i) {
            list[i] = convert(array.property(i), depth);
        }
        return list;
    }

    QVariant convertObject(const QJSValue& object, int depth)
    {
        QVariantMap map;
        QJSValueIterator it(object);
        while (it.hasNext() && !failed && spend(1)) {
            it.next();
            map.insert(it.name(), convert(it.value(), depth));
        }
        return map;
    }

    std::vector<QJSValue> ancestors;
    quint32 spent = 0;
};

} // namespace

QVariant Json::parse(const QString& json)
{
    bool success = true;
    return parse(json, success);
}

QVariant Json::parse(const QString& json, bool& success)
{
    success = true;
    if (json.isNull()) {
        return QVariant();
    }
    int index = 0;
    return parseValue(json, index, success, 0);
}

QVariant Json::parseValue(const QString& json, int& index, bool& success, int depth)
{
    switch (lookAhead(json, index)) {
    case TokenCurlyOpen:
        return parseObject(json, index, success, depth + 1);
    case TokenSquaredOpen:
        return parseArray(json, index, success, depth + 1);
    case TokenString:
        return parseString(json, index, success);
    case TokenNumber:
        return parseNumber(json, index, success);
    case TokenTrue:
        nextToken(json, index);
        return true;
    case TokenFalse:
        nextToken(json, index);
        return false;
    case TokenNull:
        nextToken(json, index);
        return QVariant();
    default:
        success = false;
        return QVariant();
    }
}

QVariant Json::parseObject(const QString& json, int& index, bool& success, int depth)
{
    if (depth > kMaxDepth) {
        success = false;
        return QVariantMap();
    }
    QVariantMap map;
    nextToken(json, index);
    for (;;) {
        const int token = lookAhead(json, index);
        if (token == TokenNone) {
            success = false;
            return QVariantMap();
        }
        if (token == TokenComma) {
            nextToken(json, index);
            continue;
        }
        if (token == TokenCurlyClose) {
            nextToken(json, index);
            return map;
        }
        const QString name = parseString(json, index, success).toString();
        if (!success) {
            return QVariantMap();
        }
        if (nextToken(json, index) != TokenColon) {
            success = false;
            return QVariantMap();
        }
        const QVariant value = parseValue(json, index, success, depth);
        if (!success) {
            return QVariantMap();
        }
        map[name] = value;
    }
}

QVariant Json::parseArray(const QString& json, int& index, bool& success, int depth)
{
    if (depth > kMaxDepth) {
        success = false;
        return QVariantList();
    }
    QVariantList list;
    nextToken(json, index);
    for (;;) {
        const int token = lookAhead(json, index);
        if (token == TokenNone) {
            success = false;
            return QVariantList();
        }
        if (token == TokenComma) {
            nextToken(json, index);
            continue;
        }
        if (token == TokenSquaredClose) {
            nextToken(json, index);
            return list;
        }
        const QVariant value = parseValue(json, index, success, depth);
        if (!success) {
            return QVariantList();
        }
        list.append(value);
    }
}

QVariant Json::parseString(const QString& json, int& index, bool& success)
{
    QString s;
    eatWhitespace(json, index);
    ++index; // the opening quote, whatever stands there
    while (index < json.size()) {
        const QChar c = json[index++];
        if (c == QLatin1Char('"')) {
            return s;
        }
        if (c != QLatin1Char('\\')) {
            s += c;
            continue;
        }
        if (index == json.size()) {
            break;
        }
        const QChar escaped = json[index++];
        switch (escaped.unicode()) {
        case '"':
            s += QLatin1Char('"');
            break;
        case '\\':
            s += QLatin1Char('\\');
            break;
        case '/':
            s += QLatin1Char('/');
            break;
        case 'b':
            s += QChar(8);
            break;
        case 'f':
            s += QChar(12);
            break;
        case 'n':
            s += QChar(10);
            break;
        case 'r':
            s += QChar(13);
            break;
        case 't':
            s += QChar(9);
            break;
        case 'u':
            if (json.size() - index < 4) {
                success = false;
                return QVariant();
            }
            s += QChar(static_cast<char16_t>(hexValue(json.mid(index, 4))));
            index += 4;
            break;
        default:
            break;
        }
    }
    success = false;
    return QVariant();
}

QVariant Json::parseNumber(const QString& json, int& index, bool& success)
{
    eatWhitespace(json, index);
    const int last = lastIndexOfNumber(json, index);
    const QString text = json.mid(index, last - index + 1);
    index = last + 1;

    bool ok = false;
    QVariant result;
    if (text.contains(QLatin1Char('.')) || text.contains(QLatin1Char('e')) || text.contains(QLatin1Char('E'))) {
        result = text.toDouble(&ok);
    } else if (text.startsWith(QLatin1Char('-'))) {
        result = text.toLongLong(&ok, 10);
    } else {
        result = text.toULongLong(&ok, 10);
    }
    if (!ok) {
        // An integer beyond 64 bits still has a value; malformed number text has none.
        result = text.toDouble(&ok);
    }
    if (!ok) {
        success = false;
        return QVariant();
    }
    return result;
}

int Json::lastIndexOfNumber(const QString& json, int index)
{
    int last = index;
    while (last < json.size() && QStringLiteral("0123456789+-.eE").contains(json[last])) {
        ++last;
    }
    return last - 1;
}

void Json::eatWhitespace(const QString& json, int& index)
{
    while (index < json.size()) {
        const char16_t c = json[index].unicode();
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') {
            break;
        }
        ++index;
    }
}

int Json::lookAhead(const QString& json, int index)
{
    return nextToken(json, index);
}

int Json::nextToken(const QString& json, int& index)
{
    eatWhitespace(json, index);
    if (index == json.size()) {
        return TokenNone;
    }
    const QChar c = json[index++];
    switch (c.unicode()) {
    case '{':
        return TokenCurlyOpen;
    case '}':
        return TokenCurlyClose;
    case '[':
        return TokenSquaredOpen;
    case ']':
        return TokenSquaredClose;
    case ':':
        return TokenColon;
    case ',':
        return TokenComma;
    case '"':
        return TokenString;
    case '-':
    case '0':
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
    case '7':
    case '8':
    case '9':
        return TokenNumber;
    default:
        break;
    }
    --index;
    const QStringView rest = QStringView(json).mid(index);
    if (rest.startsWith(QLatin1String("true"))) {
        index += 4;
        return TokenTrue;
    }
    if (rest.startsWith(QLatin1String("false"))) {
        index += 5;
        return TokenFalse;
    }
    if (rest.startsWith(QLatin1String("null"))) {
        index += 4;
        return TokenNull;
    }
    return TokenNone;
}

QByteArray Json::serialize(const QVariant& data, const QString& basePath)
{
    bool success = true;
    return serialize(data, success, basePath);
}

QByteArray Json::serialize(const QVariant& data, bool& success, const QString& basePath)
{
    success = true;
    QByteArray str;
    const int type = data.typeId();

    if (type == qMetaTypeId<QJSValue>()) {
        const QVariant converted = fromScriptValue(data, success);
        return success ? serialize(converted, success, basePath) : QByteArray();
    } else if (!data.isValid() || type == QMetaType::Nullptr) {
        str = "null";
    } else if (type == QMetaType::QVariantList || type == QMetaType::QStringList) {
        QList<QByteArray> values;
        const QVariantList list = data.toList();
        for (const QVariant& v : list) {
            const QByteArray serializedValue = serialize(v, success, basePath);
            if (serializedValue.isNull()) {
                success = false;
                break;
            }
            values << serializedValue;
        }
        str = "[ " + join(values, ", ") + " ]";
    } else if (type == QMetaType::QVariantHash || type == QMetaType::QVariantMap) {
        // A hash is written in key order too, so the same data always gives the same text.
        QVariantMap map;
        if (type == QMetaType::QVariantHash) {
            const QVariantHash hash = data.toHash();
            for (auto it = hash.cbegin(); it != hash.cend(); ++it) {
                map.insert(it.key(), it.value());
            }
        } else {
            map = data.toMap();
        }
        QList<QByteArray> pairs;
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            const QByteArray serializedValue = serialize(it.value(), success, basePath);
            if (serializedValue.isNull()) {
                success = false;
                break;
            }
            pairs << sanitizeString(it.key()) + " : " + serializedValue;
        }
        str = "{ " + join(pairs, ", ") + " }";
    } else if (type == QMetaType::QString || type == QMetaType::QByteArray) {
        str = sanitizeString(data.toString());
    } else if (type == QMetaType::Double || type == QMetaType::Float) {
        success = doubleText(data.toDouble(), str);
    } else if (type == QMetaType::Bool) {
        str = data.toBool() ? "true" : "false";
    } else if (type == QMetaType::ULongLong) {
        str = QByteArray::number(data.toULongLong());
    } else if (type == QMetaType::QPointF) {
        const QPointF point = data.toPointF();
        QByteArray x;
        QByteArray y;
        success = doubleText(point.x(), x) && doubleText(point.y(), y);
        str = "\"" + x + ", " + y + "\"";
    } else if (type == QMetaType::QColor) {
        str = "\"" + qvariant_cast<QColor>(data).name().toUtf8() + "\"";
    } else if (type == QMetaType::QUrl) {
        str = sanitizeString(urlText(data.toUrl(), basePath));
    } else if (data.canConvert<qlonglong>()) {
        str = QByteArray::number(data.toLongLong());
    } else if (data.canConvert<QString>()) {
        str = sanitizeString(data.toString());
    } else {
        success = false;
    }

    if (success) {
        return str;
    }
    return QByteArray();
}

QVariant Json::fromScriptValue(const QVariant& value)
{
    bool success = true;
    return fromScriptValue(value, success);
}

QVariant Json::fromScriptValue(const QVariant& value, bool& success)
{
    success = true;
    if (value.typeId() == qMetaTypeId<QJSValue>()) {
        return fromScriptValue(value.value<QJSValue>(), success);
    }
    return value;
}

QVariant Json::fromScriptValue(const QJSValue& value)
{
    bool success = true;
    return fromScriptValue(value, success);
}

QVariant Json::fromScriptValue(const QJSValue& value, bool& success)
{
    ScriptConverter converter;
    const QVariant result = converter.convert(value, 0);
    success = !converter.failed;
    return success ? result : QVariant();
}

} // namespace ZanthJson
