#pragma once

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <AL/al.h>
#include <QCoreApplication>
#include <gtest/gtest.h>
#include <unistd.h>

// The mixed output of OpenAL Soft, captured by its "wave" backend into a 32-bit float WAV file, and
// the measures the sound tests take of it. OpenAL reads its configuration once per process: route the
// output before the first OpenAL call. The backend writes in real time and fills in the header sizes
// only when the device closes.
namespace AudioCapture {

constexpr int kRate = 44100;

// A capture file in the test's temporary folder.
inline std::string temporaryCapturePath()
{
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder ? folder : "/tmp") + "/capture-" + std::to_string(getpid()) + ".wav";
}

// Points OpenAL Soft's output at wavPath (through a configuration file beside it).
inline void routeOutputTo(const std::string& wavPath)
{
    const std::string config = wavPath + ".conf";
    std::ofstream(config) << "[general]\ndrivers=wave\n[wave]\nfile=" << wavPath << "\n";
    unsetenv("ALSOFT_DRIVERS");
    setenv("ALSOFT_CONF", config.c_str(), 1);
}

// Runs the test program's tests with a Qt core application (queued calls reach the main thread).
inline int runTests(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// The OpenAL state of a source of the current context (AL_PLAYING, AL_PAUSED, AL_STOPPED, ...).
inline ALint sourceState(ALuint source)
{
    ALint state = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

// Waits (handling the Qt events meanwhile) until the backend has written the given seconds of output
// to the capture file after the call; false after a generous deadline.
inline bool waitForOutput(const std::string& wavPath, double seconds)
{
    const auto size = [&wavPath] {
        std::ifstream in(wavPath, std::ios::binary | std::ios::ate);
        return in ? static_cast<long long>(in.tellg()) : 0LL;
    };
    // Two channels of 32-bit floats a frame.
    const long long wanted = size() + static_cast<long long>(seconds * kRate) * 8;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (size() < wanted) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// A run with no output device at all.
inline void runWithoutDevice()
{
    setenv("ALSOFT_DRIVERS", "nosuch", 1);
}

// A silent device that works (OpenAL Soft's null backend).
inline void runWithSilentDevice()
{
    setenv("ALSOFT_DRIVERS", "null", 1);
}

struct Wave
{
    int channels = 0;
    int rate = 0;
    int bitsPerSample = 0;
    // The RIFF and data sizes in the header agree with the file's length.
    bool headerConsistent = false;
    std::vector<float> left;
    std::vector<float> right;

    double seconds(size_t frame) const { return static_cast<double>(frame) / rate; }
    size_t frame(double seconds) const { return static_cast<size_t>(seconds * rate); }
};

inline Wave read(const std::string& path)
{
    Wave wave;
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string bytes = buffer.str();
    const auto u32 = [&bytes](size_t at) {
        uint32_t value = 0;
        std::memcpy(&value, bytes.data() + at, 4);
        return value;
    };
    const auto u16 = [&bytes](size_t at) {
        uint16_t value = 0;
        std::memcpy(&value, bytes.data() + at, 2);
        return value;
    };
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0)
        return wave;
    const bool riffSizeOk = u32(4) == bytes.size() - 8;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        const uint32_t size = u32(at + 4);
        if (id == "fmt ") {
            wave.channels = u16(at + 10);
            wave.rate = static_cast<int>(u32(at + 12));
            wave.bitsPerSample = u16(at + 22);
        } else if (id == "data") {
            wave.headerConsistent = riffSizeOk && at + 8 + size == bytes.size();
            const size_t available = std::min<size_t>(size, bytes.size() - at - 8);
            const size_t frames = wave.channels == 2 && wave.bitsPerSample == 32 ? available / 8 : 0;
            wave.left.resize(frames);
            wave.right.resize(frames);
            for (size_t i = 0; i < frames; ++i) {
                std::memcpy(&wave.left[i], bytes.data() + at + 8 + i * 8, 4);
                std::memcpy(&wave.right[i], bytes.data() + at + 12 + i * 8, 4);
            }
            break;
        }
        at += 8 + size;
    }
    return wave;
}

inline double rms(const std::vector<float>& samples, size_t begin, size_t end)
{
    end = std::min(end, samples.size());
    if (begin >= end)
        return 0.0;
    double sum = 0.0;
    for (size_t i = begin; i < end; ++i)
        sum += static_cast<double>(samples[i]) * samples[i];
    return std::sqrt(sum / static_cast<double>(end - begin));
}

inline size_t zeroCrossings(const std::vector<float>& samples, size_t begin, size_t end)
{
    end = std::min(end, samples.size());
    size_t count = 0;
    for (size_t i = begin + 1; i < end; ++i) {
        if ((samples[i - 1] < 0.0f) != (samples[i] < 0.0f))
            ++count;
    }
    return count;
}

// First and one-past-last frame whose magnitude passes the threshold; {0, 0} when none does.
struct Span
{
    size_t begin = 0;
    size_t end = 0;
    size_t length() const { return end - begin; }
};

inline Span activeSpan(const std::vector<float>& samples, float threshold = 1e-3f, size_t from = 0)
{
    Span span;
    bool found = false;
    for (size_t i = from; i < samples.size(); ++i) {
        if (std::fabs(samples[i]) > threshold) {
            if (!found)
                span.begin = i;
            found = true;
            span.end = i + 1;
        }
    }
    return found ? span : Span();
}

// RMS of consecutive windows of the given length (in frames), from frame begin on.
inline std::vector<double> windowedRms(const std::vector<float>& samples, size_t window, size_t begin = 0)
{
    std::vector<double> levels;
    for (size_t at = begin; at + window <= samples.size(); at += window)
        levels.push_back(rms(samples, at, at + window));
    return levels;
}

} // namespace AudioCapture
