// The sprite-sheet JSON reader: trim offsets, pixel formats, and refusal of malformed sheets.

#include <gtest/gtest.h>

#include "MessageLog.h"
#include "ztspritesheetjson.h"

namespace {

// A sheet with one frame "f.png" whose members are the given JSON text.
QVariantMap sheetWithFrame(const QByteArray& members)
{
    return ZTSpriteSheetJson::parse("{\"frames\": {\"f.png\": {" + members + "}}, \"meta\": {\"image\": "
                                    "\"sheet.png\", \"format\": \"RGBA4444\"}}",
                                    "test.json");
}

const QByteArray kFrame = "\"frame\": {\"x\": 4, \"y\": 6, \"w\": 10, \"h\": 11}, ";
const QByteArray kPlainFrame = kFrame + "\"sourceSize\": {\"w\": 10, \"h\": 11}";

} // namespace

TEST(SpriteSheetJson, aTrimmedFrameIsOffsetFromTheUntrimmedCentreAndAnUntrimmedOneIsNot)
{
    const auto trimmed = ZTSpriteSheetJson::frame(
        sheetWithFrame(kFrame + "\"rotated\": true, \"trimmed\": true, \"spriteSourceSize\": "
                                "{\"x\": 2, \"y\": 3, \"w\": 10, \"h\": 11}, \"sourceSize\": {\"w\": 15, \"h\": 17}"),
        "f.png", "sheet.png");
    ASSERT_TRUE(trimmed);
    EXPECT_EQ(trimmed->x, 4);
    EXPECT_EQ(trimmed->height, 11);
    EXPECT_TRUE(trimmed->rotated);
    EXPECT_EQ(trimmed->offsetX, 0.0f);
    EXPECT_EQ(trimmed->offsetY, 0.0f);
    EXPECT_EQ(trimmed->originalWidth, 15);

    const auto shifted = ZTSpriteSheetJson::frame(
        sheetWithFrame(kFrame + "\"trimmed\": true, \"spriteSourceSize\": {\"x\": 5, \"y\": 0, \"w\": 10, \"h\": "
                                "11}, \"sourceSize\": {\"w\": 15, \"h\": 17}"),
        "f.png", "sheet.png");
    ASSERT_TRUE(shifted);
    EXPECT_EQ(shifted->offsetX, 3.0f);
    EXPECT_EQ(shifted->offsetY, 3.0f);

    const auto untrimmed = ZTSpriteSheetJson::frame(
        sheetWithFrame(kFrame + "\"trimmed\": false, \"spriteSourceSize\": {\"x\": 5, \"y\": 1, \"w\": 3, \"h\": "
                                "3}, \"sourceSize\": {\"w\": 15, \"h\": 17}"),
        "f.png", "sheet.png");
    ASSERT_TRUE(untrimmed);
    EXPECT_EQ(untrimmed->offsetX, 0.0f);
    EXPECT_EQ(untrimmed->offsetY, 0.0f);
}

TEST(SpriteSheetJson, formatNamesAreMatchedExactlyAndTheTextureLiesBesideTheSheet)
{
    EXPECT_EQ(ZTSpriteSheetJson::pixelFormatForName("RGBA5551"), 8);
    EXPECT_EQ(ZTSpriteSheetJson::pixelFormatForName("RGB5A1"), 8);
    EXPECT_EQ(ZTSpriteSheetJson::pixelFormatForName("PVRTC4"), 9);
    EXPECT_EQ(ZTSpriteSheetJson::pixelFormat(sheetWithFrame(kPlainFrame), "sheet.png"), 7);
    const MessageLog log;
    const QVariantMap lower = ZTSpriteSheetJson::parse("{\"meta\": {\"format\": \"rgba8888\"}}", "lower.json");
    EXPECT_EQ(ZTSpriteSheetJson::pixelFormat(lower, "x.png"), 0);
    EXPECT_TRUE(log.contains("unsupported pixelFomratString read from json file: \"rgba8888\""));
    EXPECT_EQ(ZTSpriteSheetJson::texturePath(QUrl("file:///games/a/sheet-hd.json"), sheetWithFrame(kPlainFrame)),
              "file:///games/a/sheet.png");
    EXPECT_EQ(ZTSpriteSheetJson::texturePath(QUrl("file:///games/a/sheet.json"), lower), "");
}

TEST(SpriteSheetJson, malformedFramesAreRefusedWithOneLineEach)
{
    const QByteArray size = "\"sourceSize\": {\"w\": 15, \"h\": 17}";
    const QList<QByteArray> broken = {
        size,                                                                      // no "frame"
        "\"frame\": {\"x\": 4, \"y\": 6, \"w\": 10}, " + size,                       // no height
        "\"frame\": {\"x\": \"4\", \"y\": 6, \"w\": 10, \"h\": 11}, " + size,        // text for a number
        "\"frame\": {\"x\": -4, \"y\": 6, \"w\": 10, \"h\": 11}, " + size,           // negative
        "\"frame\": {\"x\": 4, \"y\": 6, \"w\": 1e12, \"h\": 11}, " + size,          // absurd
        "\"frame\": {\"x\": 4.5, \"y\": 6, \"w\": 10, \"h\": 11}, " + size,          // not whole
        "\"frame\": [4, 6, 10, 11], " + size,                                      // not an object
        kFrame + "\"rotated\": \"yes\", " + size,                                  // text for a flag
        kFrame + "\"sourceSize\": {\"w\": -1, \"h\": 17}",                         // negative size
        kFrame + "\"trimmed\": true, " + size,                                     // trimmed without trim box
    };
    for (const QByteArray& members : broken) {
        const MessageLog log;
        EXPECT_FALSE(ZTSpriteSheetJson::frame(sheetWithFrame(members), "f.png", "sheet.png")) << members.constData();
        EXPECT_EQ(log.lines().size(), 1) << members.constData();
    }
}

TEST(SpriteSheetJson, unreadableTextGivesAnEmptySheetAndAMissingNameAZeroFrame)
{
    for (const QByteArray& text : {QByteArray("{\"frames\": "), QByteArray("[1, 2]"), QByteArray("\xff\xfe"),
                                   QByteArray()}) {
        const MessageLog log;
        EXPECT_TRUE(ZTSpriteSheetJson::parse(text, "bad.json").isEmpty());
        EXPECT_EQ(log.lines().size(), 1);
    }
    const MessageLog log;
    const auto missing = ZTSpriteSheetJson::frame(sheetWithFrame(kPlainFrame), "walk", "sheet.png");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->width, 0);
    EXPECT_TRUE(log.contains("ERROR: Sprite::frameName property with value \"walk\" not found"));
}
