#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include "FixtureDir.h"
#include "cocoa/ZTMutableArray.h"
#include "cocoa/ZTMutableDictionary.h"
#include "cocoa/ZTString.h"
#include "platform/ZTDictMaker.h"
#include "platform/ZTFileUtils.h"

using namespace zanth2d;
using Dict = ZTMutableDictionary<std::string, ZTObject*>;
using Array = ZTMutableArray<ZTObject*>;

namespace {

QJsonValue toJson(ZTObject* object)
{
    if (auto* text = dynamic_cast<ZTString*>(object)) {
        return QString::fromStdString(text->getString());
    }
    if (auto* dict = dynamic_cast<Dict*>(object)) {
        QJsonObject result;
        for (const auto& entry : *dict) {
            result.insert(QString::fromStdString(entry.first), toJson(entry.second));
        }
        return result;
    }
    if (auto* array = dynamic_cast<Array*>(object)) {
        QJsonArray result;
        for (ZTObject* item : *array) {
            result.append(toJson(item));
        }
        return result;
    }
    return QJsonValue();
}

std::string text(Dict* dict, const std::string& key)
{
    auto* value = dynamic_cast<ZTString*>(dict->objectForKey(key));
    return value ? value->getString() : std::string("<missing>");
}

const char* kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n";

// Parses plist text and returns the root (caller releases) and the number of lines logged.
Dict* parse(const std::string& body, int* loggedLines = nullptr)
{
    std::string xml = std::string(kHeader) + body;
    testing::internal::CaptureStdout();
    ZTDictMaker maker;
    Dict* root = maker.dictionaryWithData(xml.data(), static_cast<unsigned int>(xml.size()));
    std::string log = testing::internal::GetCapturedStdout();
    if (loggedLines) {
        *loggedLines = static_cast<int>(std::count(log.begin(), log.end(), '\n'));
    }
    return root;
}

const char* kPythonFixture = R"PY(
import base64, json, plistlib, random
random.seed(7)
blob = base64.b64encode(bytes(random.getrandbits(8) for _ in range(75000))).decode()
wrapped = "\r\n".join(blob[i:i + 76] for i in range(0, len(blob), 76))
value = {
    "maxParticles": 512, "angle": 90.5, "negative": -3, "tiny": 1e-300, "big": 12345678901234567,
    "on": True, "off": False,
    "textureImageData": wrapped,
    "amp & <tag> \"q\"": "Tom & Jerry <3> 'x' &amp;",
    "\u00fcn\u00efc\u00f6d\u00e9 \u043a\u043b\u044e\u0447 \u65e5\u672c": "wert \u2713 \U0001F386",
    "padded": "  spaces kept  ",
    "empty": "",
    "": "under the empty key",
    "nested": {"inner": {"deep": [1, 2.25, "three", True, {"k": "v & w"}, [], [["x"]]]}, "list": []},
    "emptyDict": {},
}
with open("fixture.plist", "wb") as f:
    plistlib.dump(value, f)
raw = open("fixture.plist", "rb").read()
open("fixture-crlf.plist", "wb").write(raw.replace(b"\n", b"\r\n"))

def text(v):
    if isinstance(v, bool):
        return "1" if v else "0"
    if isinstance(v, float):
        return repr(v)
    if isinstance(v, dict):
        return {k: text(x) for k, x in v.items()}
    if isinstance(v, list):
        return [text(x) for x in v]
    return str(v)

loaded = plistlib.load(open("fixture-crlf.plist", "rb"))
json.dump(text(loaded), open("expected.json", "w", encoding="utf-8"), ensure_ascii=False)
)PY";

} // namespace

TEST(ZTDictMakerTest, readsWhatPlistlibWroteExactlyAsPlistlibReadsIt)
{
    FixtureDir dir;
    ASSERT_TRUE(dir.python(kPythonFixture));
    QJsonDocument expected = QJsonDocument::fromJson(QByteArray::fromStdString(dir.read("expected.json")));
    ASSERT_TRUE(expected.isObject());
    for (const char* name : {"fixture.plist", "fixture-crlf.plist"}) {
        Dict* root = ZTFileUtils::dictionaryWithContentsOfFileThreadSafe(dir.path(name).c_str());
        ASSERT_NE(root, nullptr) << name;
        QJsonValue actual = toJson(root);
        EXPECT_EQ(actual, QJsonValue(expected.object()))
            << name << "\n"
            << QJsonDocument(actual.toObject()).toJson().left(2000).toStdString();
        EXPECT_EQ(text(root, "textureImageData").size(), 100000u + 1315u) << "base64 with its line breaks";
        EXPECT_EQ(root->retainCount(), 1u);
        root->release();
    }
}

TEST(ZTDictMakerTest, scalarsBecomeTextAndContainersNest)
{
    Dict* root = parse("<dict><key>a</key><integer>5</integer><key>b</key><true/><key>f</key><false/>"
                       "<key>c</key><array><string>x</string><real>2.5</real></array>"
                       "<key>s</key><string> padded </string><key>d</key><date>2020-01-01T00:00:00Z</date>"
                       "<key>n</key><dict><key>k</key><string>v</string></dict></dict></plist>");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(text(root, "a"), "5");
    EXPECT_EQ(text(root, "b"), "1");
    EXPECT_EQ(text(root, "f"), "0");
    EXPECT_EQ(text(root, "s"), " padded ");
    EXPECT_EQ(root->objectForKey("d"), nullptr);
    auto* array = dynamic_cast<Array*>(root->objectForKey("c"));
    ASSERT_NE(array, nullptr);
    ASSERT_EQ(array->count(), 2u);
    EXPECT_EQ(static_cast<ZTString*>(array->getObjectAtIndex(1))->getString(), "2.5");
    auto* nested = dynamic_cast<Dict*>(root->objectForKey("n"));
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(nested->retainCount(), 1u) << "a nested dictionary is owned only by its parent";
    EXPECT_EQ(array->retainCount(), 1u);
    root->release();
}

TEST(ZTDictMakerTest, duplicateKeyKeepsFirstValueAndRefusedContainerIsReadSafely)
{
    int logged = 0;
    Dict* root = parse("<dict><key>a</key><string>first</string>"
                       "<key>a</key><dict><key>x</key><array><string>y</string></array></dict>"
                       "<key>a</key><array><dict/><string>z</string></array>"
                       "<key>b</key><string>after</string></dict></plist>",
                       &logged);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(text(root, "a"), "first");
    EXPECT_EQ(text(root, "b"), "after");
    EXPECT_EQ(root->count(), 2u);
    EXPECT_EQ(logged, 2);
    root->release();
}

TEST(ZTDictMakerTest, valueBeforeAnyKeyIsDroppedWithOneLine)
{
    int logged = 0;
    Dict* root =
        parse("<dict><string>lost</string><key>a</key><string>kept</string></dict></plist>", &logged);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->count(), 1u);
    EXPECT_EQ(text(root, "a"), "kept");
    EXPECT_EQ(logged, 1);
    root->release();
}

TEST(ZTDictMakerTest, fileWithoutDictionaryGivesNull)
{
    int logged = 0;
    EXPECT_EQ(parse("<array><string>a</string><array><string>b</string></array></array></plist>", &logged),
              nullptr);
    EXPECT_EQ(logged, 1);
    EXPECT_EQ(parse("<string>alone</string></plist>", &logged), nullptr);
    EXPECT_EQ(logged, 1);
}

TEST(ZTDictMakerTest, truncatedOrMalformedFileReturnsWhatWasReadAndLogsOnce)
{
    int logged = 0;
    Dict* root =
        parse("<dict><key>a</key><string>1</string><key>n</key><dict><key>b</key><array><string>x", &logged);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(text(root, "a"), "1");
    EXPECT_EQ(logged, 1);
    root->release();

    root = parse("<dict><key>a</key><string>1</strin></dict>", &logged);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->count(), 0u);
    EXPECT_EQ(logged, 1);
    root->release();
    EXPECT_EQ(parse("<arr", &logged), nullptr);
    EXPECT_EQ(logged, 1);
}

TEST(ZTDictMakerTest, wellFormedDataOnlyDropsTheTreeOfATruncatedFileAndLogsItsNameOnce)
{
    const std::string truncated = std::string(kHeader) + "<dict><key>a</key><string>1</string><key>n</key><dict>";
    const std::string whole = std::string(kHeader) + "<dict><key>a</key><string>1</string></dict></plist>";
    testing::internal::CaptureStdout();
    ZTDictMaker maker;
    EXPECT_EQ(maker.dictionaryWithWellFormedData(truncated.data(), static_cast<unsigned int>(truncated.size()),
                                                 "effect.plist"),
              nullptr);
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
    EXPECT_NE(log.find("effect.plist"), std::string::npos) << log;

    Dict* root = ZTDictMaker().dictionaryWithWellFormedData(whole.data(), static_cast<unsigned int>(whole.size()),
                                                            "effect.plist");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(text(root, "a"), "1");
    root->release();
}

TEST(ZTDictMakerTest, dictionaryAfterTheRootClosedIsDiscarded)
{
    Dict* root =
        parse("<dict><key>a</key><string>1</string></dict><dict><key>b</key><string>2</string></dict>"
              "</plist>");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(text(root, "a"), "1");
    EXPECT_EQ(root->count(), 1u);
    root->release();
}

TEST(ZTDictMakerTest, unreadableFileGivesNull)
{
    ZTFileUtils::setIsPopupNotify(false);
    EXPECT_EQ(ZTFileUtils::dictionaryWithContentsOfFileThreadSafe("/nonexistent/file.plist"), nullptr);
    EXPECT_EQ(ZTFileUtils::dictionaryWithContentsOfFile("/nonexistent/file.plist"), nullptr);
    ZTFileUtils::setIsPopupNotify(true);
}
