// A group fans mute and enable switches out to its members, gives a new member its switches at once,
// and holds groups as members too.

#include <gtest/gtest.h>

#include <memory>

#include "engine/ZAAudioInterruptTargetGroup.h"

namespace {

class Switchable : public ZAAudioInterruptTarget
{
public:
    void setMute(bool value) override
    {
        mute = value;
        ++calls;
    }
    void setEnabled(bool value) override
    {
        enabled = value;
        ++calls;
    }
    bool mute = false;
    bool enabled = true;
    int calls = 0;
};

TEST(ZAAudioInterruptTargetGroupTest, aMemberAddedToAMutedGroupIsMutedAtOnce)
{
    ZAAudioInterruptTargetGroup group;
    EXPECT_FALSE(group.mute());
    EXPECT_TRUE(group.enabled());
    group.setMute(true);
    group.setEnabled(false);
    auto member = std::make_shared<Switchable>();
    group.addAudioInterruptTarget(member);
    EXPECT_TRUE(member->mute);
    EXPECT_FALSE(member->enabled);
}

TEST(ZAAudioInterruptTargetGroupTest, switchesReachEveryMemberOnlyWhenTheyChange)
{
    ZAAudioInterruptTargetGroup group;
    auto first = std::make_shared<Switchable>();
    auto second = std::make_shared<Switchable>();
    group.addAudioInterruptTarget(first);
    group.addAudioInterruptTarget(second);
    group.setMute(true);
    EXPECT_TRUE(first->mute && second->mute);
    group.setMute(false);
    EXPECT_FALSE(first->mute || second->mute);
    const int calls = first->calls;
    group.setMute(false);
    group.setEnabled(true);
    EXPECT_EQ(first->calls, calls);
    group.setEnabled(false);
    EXPECT_FALSE(second->enabled);
}

TEST(ZAAudioInterruptTargetGroupTest, removingTakesOutThatMemberAndNothingElse)
{
    ZAAudioInterruptTargetGroup group;
    auto member = std::make_shared<Switchable>();
    auto stranger = std::make_shared<Switchable>();
    group.addAudioInterruptTarget(member);
    group.removeAudioInterruptTarget(stranger.get());
    group.setMute(true);
    EXPECT_TRUE(member->mute);
    group.removeAudioInterruptTarget(member.get());
    group.setMute(false);
    EXPECT_TRUE(member->mute);
    EXPECT_EQ(member.use_count(), 1);
}

TEST(ZAAudioInterruptTargetGroupTest, groupsNestAndKeepTheirMembersAlive)
{
    ZAAudioInterruptTargetGroup outer;
    auto inner = std::make_shared<ZAAudioInterruptTargetGroup>();
    std::weak_ptr<Switchable> watched;
    {
        auto member = std::make_shared<Switchable>();
        watched = member;
        inner->addAudioInterruptTarget(member);
    }
    outer.addAudioInterruptTarget(inner);
    outer.setEnabled(false);
    ASSERT_FALSE(watched.expired());
    EXPECT_FALSE(watched.lock()->enabled);
}

} // namespace
