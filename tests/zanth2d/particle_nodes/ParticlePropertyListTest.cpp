// Reading an emitter from a particle property list, with files written by Python's plistlib.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "FixtureDir.h"
#include "ParticleTestSupport.h"
#include "PngFixture.h"
#include "particle_nodes/ZTParticleSystemQuad.h"
#include "sprite_nodes/SpriteScene.h"
#include "textures/ZTTexture2D.h"
#include "textures/ZTTextureCache.h"

using namespace zanth2d;

namespace {

// Defines png(), an 8 x 8 white "dot.png", its gzip + base64 text TEX, and write(name, dict).
const std::string kPlistWriter = std::string(kPythonPngWriter) + R"PY(
import base64, gzip, plistlib
png("dot.png", 8, 8, lambda x, y: bytes([255, 255, 255, 255]))
TEX = base64.b64encode(gzip.compress(open("dot.png", "rb").read())).decode()
def write(name, values):
    with open(name, "wb") as f:
        plistlib.dump(values, f)
)PY";

class ParticlePropertyList : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.python(kPlistWriter + m_script)) << m_script; }

    // Python lines run after the writer's definitions.
    void script(const std::string& lines) { m_script += lines + "\n"; }

    ZTParticleSystemQuad* load(const std::string& name)
    {
        return ZTParticleSystemQuad::particleWithFile(m_dir.path(name).c_str());
    }

    FixtureDir m_dir;
    std::string m_script;
    SpriteScene m_scene;
};

class ParticlePropertyListFiles : public ParticlePropertyList
{
protected:
    void SetUp() override
    {
        script(R"PY(
write("minimal.plist", {"maxParticles": 50, "particleLifespan": 2, "textureImageData": TEX})
write("radius.plist", {"maxParticles": 10, "particleLifespan": 1, "textureImageData": TEX, "emitterType": 1,
                       "maxRadius": 100, "maxRadiusVariance": 7, "minRadius": 10, "rotatePerSecond": 45,
                       "speed": 99})
write("placed.plist", {"maxParticles": 10, "particleLifespan": 1, "textureImageData": TEX,
                       "sourcePositionx": 20, "sourcePositiony": 30.5, "sourcePositionVariancex": 4})
write("booleans.plist", {"maxParticles": 10, "particleLifespan": 1, "textureImageData": TEX,
                         "emitterType": True, "angle": False, "duration": True})
import os, shutil
os.mkdir("beside")
png("beside/fire.png", 4, 4, lambda x, y: bytes([255, 0, 0, 255]))
write("beside/effect.plist", {"maxParticles": 10, "particleLifespan": 1, "textureFileName": "fire.png",
                              "textureImageData": ""})
write("embedded.plist", {"maxParticles": 10, "particleLifespan": 1, "textureFileName": "fire.png",
                         "textureImageData": TEX})
)PY");
        ParticlePropertyList::SetUp();
    }
};

} // namespace

TEST_F(ParticlePropertyListFiles, poolAndLifespanAloneGiveTheRateAndGravityModeWithAllElseZero)
{
    ZTParticleSystemQuad* e = load("minimal.plist");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->getTotalParticles(), 50u);
    EXPECT_EQ(e->getEmissionRate(), 25.0f);
    EXPECT_EQ(e->getEmitterMode(), kZTParticleModeGravity);
    EXPECT_EQ(e->getPositionType(), kZTPositionTypeFree);
    EXPECT_EQ(e->getSpeed(), 0.0f);
    EXPECT_EQ(e->getDuration(), 0.0f);
    EXPECT_EQ(e->getStartColor().a, 0.0f);
    EXPECT_EQ(e->getBlendFunc().src, 0u);
    ASSERT_NE(e->getTexture(), nullptr);
    EXPECT_EQ(e->getTexture()->getPixelsWide(), 8u);
    EXPECT_EQ(e->getPlistFile(), m_dir.path("minimal.plist"));
}

TEST_F(ParticlePropertyListFiles, radiusModeTakesMaxRadiusAsTheStartAndMinRadiusAsTheEnd)
{
    ZTParticleSystemQuad* e = load("radius.plist");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->getEmitterMode(), kZTParticleModeRadius);
    EXPECT_EQ(e->getStartRadius(), 100.0f);
    EXPECT_EQ(e->getStartRadiusVar(), 7.0f);
    EXPECT_EQ(e->getEndRadius(), 10.0f);
    EXPECT_EQ(e->getEndRadiusVar(), 0.0f);
    EXPECT_EQ(e->getRotatePerSecond(), 45.0f);
    EXPECT_EQ(e->getSpeed(), 0.0f) << "gravity keys are not read in radius mode";
}

TEST_F(ParticlePropertyListFiles, sourcePositionMovesTheNodeAndLeavesTheSourcePosition)
{
    ZTParticleSystemQuad* e = load("placed.plist");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->getPosition().x, 20.0f);
    EXPECT_EQ(e->getPosition().y, 30.5f);
    EXPECT_EQ(e->getSourcePosition().x, 0.0f);
    EXPECT_EQ(e->getPosVar().x, 4.0f);
}

TEST_F(ParticlePropertyListFiles, booleanElementsReadAsOneAndZero)
{
    ZTParticleSystemQuad* e = load("booleans.plist");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->getEmitterMode(), kZTParticleModeRadius);
    EXPECT_EQ(e->getAngle(), 0.0f);
    EXPECT_EQ(e->getDuration(), 1.0f);
}

TEST_F(ParticlePropertyListFiles, textureBesideTheFileWinsOverTheEmbeddedImage)
{
    ZTParticleSystemQuad* e = load("beside/effect.plist");
    ASSERT_NE(e, nullptr);
    ASSERT_NE(e->getTexture(), nullptr);
    EXPECT_EQ(e->getTexture()->getPixelsWide(), 4u);
    EXPECT_EQ(ZTTextureCache::sharedTextureCache()->textureForKey(m_dir.path("beside/fire.png").c_str()),
              e->getTexture());
}

TEST_F(ParticlePropertyListFiles, missingTextureFileFallsBackToTheEmbeddedImageCachedUnderItsPath)
{
    ZTParticleSystemQuad* e = nullptr;
    EXPECT_EQ(loggedLines([&] { e = load("embedded.plist"); }), 0) << "the missing file is not reported";
    ASSERT_NE(e, nullptr);
    ASSERT_NE(e->getTexture(), nullptr);
    EXPECT_EQ(e->getTexture()->getPixelsWide(), 8u);
    EXPECT_EQ(ZTTextureCache::sharedTextureCache()->textureForKey(m_dir.path("fire.png").c_str()),
              e->getTexture());
}

// Every broken file fails the load with exactly one log line.

class BrokenParticlePropertyList : public ParticlePropertyList
{
protected:
    void SetUp() override
    {
        script(R"PY(
import gzip, base64
ok = {"maxParticles": 10, "particleLifespan": 1, "textureImageData": TEX}
def broken(name, **changes):
    values = dict(ok)
    values.update(changes)
    write(name, {k: v for k, v in values.items() if v is not None})
plistlib.dump(["maxParticles", 10], open("array.plist", "wb"))
open("text.plist", "w").write("maxParticles = 10")
open("truncated.plist", "wb").write(plistlib.dumps(ok)[:200])
open("empty.plist", "wb").write(b"")
broken("emitter3.plist", emitterType=3)
broken("notexture.plist", textureImageData=None)
broken("missingfile.plist", textureImageData=None, textureFileName="nowhere.png")
broken("emptydata.plist", textureImageData="", textureFileName="nowhere.png")
broken("badbase64.plist", textureImageData="QQ=Q=")
broken("nobase64.plist", textureImageData="@@@@")
broken("notgzip.plist", textureImageData=base64.b64encode(b"plain bytes, not compressed").decode())
broken("notpng.plist", textureImageData=base64.b64encode(gzip.compress(b"not an image")).decode())
broken("speeddict.plist", speed={"value": 5})
broken("speedtext.plist", speed="fast")
broken("lifetext.plist", particleLifespan="long")
broken("dataarray.plist", textureImageData=["a"])
broken("namedict.plist", textureFileName={"a": 1})
broken("huge.plist", maxParticles=2000000)
broken("negative.plist", maxParticles=-5)
broken("overflow.plist", maxParticles=1e30)
broken("pooltext.plist", maxParticles="many")
)PY");
        ParticlePropertyList::SetUp();
    }
};

TEST_F(BrokenParticlePropertyList, failsWithOneLogLineAndNoEmitter)
{
    for (const char* name :
         {"array.plist",    "text.plist",      "truncated.plist",   "empty.plist",     "absent.plist",
          "emitter3.plist", "notexture.plist", "missingfile.plist", "emptydata.plist", "badbase64.plist",
          "nobase64.plist", "notgzip.plist",   "notpng.plist",      "speeddict.plist", "speedtext.plist",
          "lifetext.plist", "dataarray.plist", "namedict.plist",    "huge.plist",      "negative.plist",
          "overflow.plist", "pooltext.plist"}) {
        ZTParticleSystemQuad* e = nullptr;
        std::string log;
        EXPECT_EQ(loggedLines([&] { e = load(name); }, &log), 1) << name << ":\n" << log;
        EXPECT_EQ(e, nullptr) << name;
    }
}

TEST_F(BrokenParticlePropertyList, refusedValueIsNamedInTheLine)
{
    std::string log;
    loggedLines([&] { load("speedtext.plist"); }, &log);
    EXPECT_NE(log.find("\"speed\""), std::string::npos) << log;
    loggedLines([&] { load("emitter3.plist"); }, &log);
    EXPECT_NE(log.find("emitterType 3"), std::string::npos) << log;
}
