#pragma once

#include <string>

#include "cocoa/ZTGeometry.h"
#include "cocoa/ZTMutableArray.h"
#include "cocoa/ZTObject.h"

namespace zanth2d {

class ZTSpriteFrame;
class ZTTexture2D;

// An ordered list of sprite frames shown one after the other, each for the same delay (seconds).
class ZTAnimation : public ZTObject
{
public:
    using FrameArray = ZTMutableArray<ZTSpriteFrame*>;

    ZTAnimation() = default;
    ~ZTAnimation() override;

    // Autoreleased, no frames, delay 0.
    static ZTAnimation* animation();
    // Autoreleased; holds its own array of the same frames (none for a null array).
    static ZTAnimation* animationWithFrames(FrameArray* pFrames);
    static ZTAnimation* animationWithFrames(FrameArray* pFrames, float delay);

    bool init();
    bool initWithFrames(FrameArray* pFrames);
    bool initWithFrames(FrameArray* pFrames, float delay);

    // Null is ignored.
    void addFrame(ZTSpriteFrame* pFrame);
    // The whole image as a frame; an image that gives no texture adds nothing.
    void addFrameWithFileName(const char* pszFileName);
    // rect in points.
    void addFrameWithTexture(ZTTexture2D* pobTexture, const ZTRect& rect);

    const std::string& getName() const { return m_nameStr; }
    void setName(const char* pszName) { m_nameStr = pszName ? pszName : ""; }
    float getDelay() const { return m_fDelay; }
    void setDelay(float fDelay) { m_fDelay = fDelay; }
    FrameArray* getFrames() const { return m_pobFrames; }
    // Retains the new array, releases the old; null stands for no frames.
    void setFrames(FrameArray* pFrames);

private:
    std::string m_nameStr;
    float m_fDelay = 0.0f;
    FrameArray* m_pobFrames = nullptr;
};

} // namespace zanth2d
