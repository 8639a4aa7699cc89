#pragma once

#include "actions/ZTActionInterval.h"

namespace zanth2d {

class ZTAnimation;
class ZTSpriteFrame;

// Shows the frames of an animation on a sprite, each for duration / number of frames; with restore set,
// the frame the sprite showed at the start comes back when the action stops. The target must be a
// ZTSprite and the animation must have at least one frame.
class ZTAnimate : public ZTActionInterval
{
public:
    ZTAnimate() = default;
    ~ZTAnimate() override;

    // Autoreleased; duration = frames x the animation's delay; restores the original frame.
    static ZTAnimate* actionWithAnimation(ZTAnimation* pAnimation);
    static ZTAnimate* actionWithAnimation(ZTAnimation* pAnimation, bool bRestoreOriginalFrame);
    // duration in seconds, as given.
    static ZTAnimate* actionWithDuration(float duration, ZTAnimation* pAnimation, bool bRestoreOriginalFrame);
    bool initWithAnimation(ZTAnimation* pAnimation);
    bool initWithAnimation(ZTAnimation* pAnimation, bool bRestoreOriginalFrame);
    bool initWithDuration(float duration, ZTAnimation* pAnimation, bool bRestoreOriginalFrame);

    // Shares the animation.
    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    void stop() override;
    void update(float t) override;
    // The frames in reverse order, as copies, in a new animation of the same delay.
    ZTActionInterval* reverse() override;

    ZTAnimation* getAnimation() const { return m_pAnimation; }
    // Retains the new animation, releases the old.
    void setAnimation(ZTAnimation* pAnimation);
    ZTSpriteFrame* getOriginalFrame() const { return m_pOrigFrame; }
    // Kept (retained) only while restore is set; otherwise the stored frame is dropped.
    void setOriginalFrame(ZTSpriteFrame* pFrame);
    bool getRestoreOriginalFrame() const { return m_bRestoreOriginalFrame; }

protected:
    ZTAnimation* m_pAnimation = nullptr;
    ZTSpriteFrame* m_pOrigFrame = nullptr;
    bool m_bRestoreOriginalFrame = true;
};

} // namespace zanth2d
