// File paths to sound ids: loaded once, ids reused after a release or a failed load, and the table
// growing past its first 64 buffers.

#include <gtest/gtest.h>

#include "AudioCapture.h"
#include "FixtureDir.h"
#include "MessageLog.h"
#include "ToneFile.h"
#include "engine/ZABufferManager.h"
#include "engine/ZASoundEngine.h"

namespace {

class ZABufferManagerTest : public ::testing::Test
{
protected:
    std::string toneFile(const std::string& name)
    {
        Tone tone;
        tone.seconds = 0.01;
        const std::string file = m_dir.path(name);
        writeToneWav(file, tone);
        return file;
    }

    FixtureDir m_dir;
    std::shared_ptr<ZASoundEngine> m_engine = ZASoundEngine::create();
    ZABufferManager m_manager{m_engine};
};

TEST_F(ZABufferManagerTest, aFileIsLoadedOnceAndKeepsItsId)
{
    const std::string a = toneFile("a.wav");
    const std::string b = toneFile("b.wav");
    EXPECT_EQ(m_manager.bufferForFile(a, false), -1);
    EXPECT_EQ(m_manager.bufferForFile(a, true), 0);
    EXPECT_EQ(m_manager.bufferForFile(b, true), 1);
    EXPECT_EQ(m_manager.bufferForFile(a, true), 0);
    EXPECT_EQ(m_manager.bufferForFile(a, false), 0);
    // Paths are keys as given: another spelling of the same file is another buffer.
    EXPECT_EQ(m_manager.bufferForFile(m_dir.path("./a.wav"), true), 2);
    EXPECT_TRUE(m_engine->validateBufferId(2));
}

TEST_F(ZABufferManagerTest, releasedAndFailedIdsAreReused)
{
    const std::string a = toneFile("a.wav");
    const std::string b = toneFile("b.wav");
    ASSERT_EQ(m_manager.bufferForFile(a, true), 0);
    {
        MessageLog log;
        EXPECT_EQ(m_manager.bufferForFile(m_dir.path("missing.wav"), true), -1);
        EXPECT_EQ(log.lines().size(), 1);
        EXPECT_TRUE(log.contains("missing.wav")) << log.lines().join("\n").toStdString();
    }
    EXPECT_EQ(m_manager.bufferForFile(b, true), 1);
    m_manager.releaseBufferForFile(a);
    EXPECT_FALSE(m_engine->validateBufferId(0));
    EXPECT_EQ(m_manager.bufferForFile(a, false), -1);
    m_manager.releaseBufferForFile(a);
    EXPECT_EQ(m_manager.bufferForFile(toneFile("c.wav"), true), 0);
    EXPECT_EQ(m_manager.bufferForFile(a, true), 2);
}

TEST_F(ZABufferManagerTest, theSixtyFifthFileGrowsTheTableToEighty)
{
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(m_manager.bufferForFile(toneFile("t" + std::to_string(i) + ".wav"), true), i);
    EXPECT_EQ(m_engine->bufferTotal(), 64);
    EXPECT_EQ(m_manager.bufferForFile(toneFile("t64.wav"), true), 64);
    EXPECT_EQ(m_engine->bufferTotal(), 80);
    EXPECT_EQ(m_manager.bufferForFile(toneFile("t65.wav"), true), 65);
    EXPECT_EQ(m_engine->bufferTotal(), 80);
}

TEST_F(ZABufferManagerTest, withoutItsEngineNothingLoads)
{
    const std::string a = toneFile("a.wav");
    m_engine.reset();
    EXPECT_EQ(m_manager.bufferForFile(a, true), -1);
    m_manager.releaseBufferForFile(a);
}

} // namespace

int main(int argc, char** argv)
{
    AudioCapture::runWithSilentDevice();
    return AudioCapture::runTests(argc, argv);
}
