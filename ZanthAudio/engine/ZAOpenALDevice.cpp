#include "engine/ZAOpenALDevice.h"

#include <AL/alext.h>

#include <QtDebug>

std::shared_ptr<ZAOpenALDevice> ZAOpenALDevice::open(int mixerRate)
{
    ALCdevice* device = alcOpenDevice(nullptr);
    if (!device)
        return nullptr;
    return std::shared_ptr<ZAOpenALDevice>(new ZAOpenALDevice(device, mixerRate));
}

ZAOpenALDevice::ZAOpenALDevice(ALCdevice* device, int mixerRate) : m_device(device), m_mixerRate(mixerRate)
{
    if (!alcIsExtensionPresent(device, "ALC_EXT_thread_local_context")) {
        qWarning(
            "ZAOpenALDevice: WARNING: the OpenAL device has no thread-local contexts, music stays silent");
        return;
    }
    const ALCint attributes[] = {ALC_FREQUENCY, mixerRate, 0};
    m_musicContext = alcCreateContext(device, attributes);
}

ZAOpenALDevice::~ZAOpenALDevice()
{
    if (m_musicContext) {
        if (alcGetThreadContext() == m_musicContext)
            alcSetThreadContext(nullptr);
        alcDestroyContext(m_musicContext);
    }
    alcCloseDevice(m_device);
}

ZAMusicContextScope::ZAMusicContextScope(ALCcontext* musicContext) : m_previous(alcGetThreadContext())
{
    alcSetThreadContext(musicContext);
}

ZAMusicContextScope::~ZAMusicContextScope()
{
    alcSetThreadContext(m_previous);
}
