// Paths looked up beside the program first, and the gains OpenAL is given.

#include <gtest/gtest.h>

#include "AudioCapture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cmath>
#include <limits>

#include "engine/ZAUtilities.h"

namespace {

TEST(ZAUtilitiesTest, aRelativePathFoundInTheResourcesBesideTheProgramBecomesThatFile)
{
    const QString resources = QCoreApplication::applicationDirPath() + "/../Resources";
    const QString name = QStringLiteral("za-utilities-%1.wav").arg(QCoreApplication::applicationPid());
    QDir().mkpath(resources + "/sounds");
    QFile file(resources + "/sounds/" + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const std::string relative = "sounds/" + name.toStdString();
    const std::string found = ZAUtilities::fullPathFromRelativePath(relative);
    file.remove();
    QDir().rmpath(resources + "/sounds");
    EXPECT_EQ(found, (resources + "/sounds/" + name).toStdString());
    // Not there: the path stays as given.
    EXPECT_EQ(ZAUtilities::fullPathFromRelativePath(relative), relative);
    EXPECT_EQ(ZAUtilities::fullPathFromRelativePath("/abs/sound.wav"), "/abs/sound.wav");
}

TEST(ZAUtilitiesTest, gainsOpenAlWouldIgnoreBecomeSilence)
{
    EXPECT_FLOAT_EQ(ZAUtilities::validGain(0.5f), 0.5f);
    EXPECT_FLOAT_EQ(ZAUtilities::validGain(2.0f), 2.0f);
    EXPECT_FLOAT_EQ(ZAUtilities::validGain(-0.1f), 0.0f);
    EXPECT_FLOAT_EQ(ZAUtilities::validGain(std::numeric_limits<float>::quiet_NaN()), 0.0f);
    EXPECT_FLOAT_EQ(ZAUtilities::validGain(std::numeric_limits<float>::infinity()), 0.0f);
}

} // namespace

int main(int argc, char** argv)
{
    return AudioCapture::runTests(argc, argv);
}
