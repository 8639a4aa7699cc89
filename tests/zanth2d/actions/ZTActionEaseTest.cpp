#include <cmath>
#include <typeinfo>

#include "ActionTestSupport.h"
#include "actions/ZTActionEase.h"

using namespace zanth2d;

class EaseActionTest : public ActionTest
{
protected:
    // The time the inner action receives when the wrapper is updated with t.
    float eased(ZTActionEase* ease, float t)
    {
        ease->update(t);
        return m_log.updates.back();
    }

    RecordingAction* inner(float duration = 1) { return RecordingAction::create(duration, &m_log); }

    // Wraps a fresh recording action in E and starts it.
    template <typename E, typename... Args> E* started(Args... args)
    {
        E* ease = E::actionWithAction(inner(), args...);
        ease->startWithTarget(nullptr);
        return ease;
    }

    ActionLog m_log;
};

// Curves

TEST_F(EaseActionTest, rateCurvesRaiseTimeToTheRate)
{
    EXPECT_EQ(eased(started<ZTEaseIn>(2.0f), 0.5f), 0.25f);
    EXPECT_EQ(eased(started<ZTEaseOut>(2.0f), 0.5f), 0.70710677f);
    EXPECT_EQ(eased(started<ZTEaseRateAction>(2.0f), 0.3f), 0.3f);
}

TEST_F(EaseActionTest, rateInOutMirrorsTheSecondHalfForEvenAndOddRates)
{
    ZTEaseInOut* even = started<ZTEaseInOut>(2.0f);
    EXPECT_EQ(eased(even, 0.75f), 0.875f);
    EXPECT_EQ(eased(even, 0.25f), 0.125f);
    EXPECT_EQ(eased(even, 1), 1);
    ZTEaseInOut* odd = started<ZTEaseInOut>(3.0f);
    EXPECT_EQ(eased(odd, 0.75f), 0.9375f);
    EXPECT_EQ(eased(odd, 0), 0);
}

TEST_F(EaseActionTest, exponentialCurvesKeepTheirOffsetEnds)
{
    ZTEaseExponentialIn* in = started<ZTEaseExponentialIn>();
    EXPECT_EQ(eased(in, 0), 0);
    EXPECT_FLOAT_EQ(eased(in, 1), 0.999f);
    EXPECT_LT(eased(in, 0.001f), 0);
    ZTEaseExponentialOut* out = started<ZTEaseExponentialOut>();
    EXPECT_EQ(eased(out, 1), 1);
    EXPECT_FLOAT_EQ(eased(out, 0.1f), 0.5f);
    ZTEaseExponentialInOut* inOut = started<ZTEaseExponentialInOut>();
    EXPECT_EQ(eased(inOut, 0), 0.00048828125f);
    EXPECT_EQ(eased(inOut, 1), 0.99951171875f);
    EXPECT_EQ(eased(inOut, 0.5f), 0.5f);
}

TEST_F(EaseActionTest, sineCurvesFollowAQuarterAndAHalfWave)
{
    EXPECT_NEAR(eased(started<ZTEaseSineIn>(), 1), 1, 1e-6);
    EXPECT_EQ(eased(started<ZTEaseSineIn>(), 0), 0);
    EXPECT_FLOAT_EQ(eased(started<ZTEaseSineOut>(), 0.5f), std::sqrt(0.5f));
    EXPECT_FLOAT_EQ(eased(started<ZTEaseSineInOut>(), 0.5f), 0.5f);
    EXPECT_FLOAT_EQ(eased(started<ZTEaseSineInOut>(), 1), 1);
}

TEST_F(EaseActionTest, bounceCurvesHitTheirKnownPoints)
{
    ZTEaseBounceOut* out = started<ZTEaseBounceOut>();
    EXPECT_EQ(eased(out, 0.5f), 0.765625f);
    EXPECT_NEAR(eased(out, 1), 1, 1e-6);
    EXPECT_EQ(eased(out, 0), 0);
    EXPECT_FLOAT_EQ(eased(out, 0.2f), 7.5625f * 0.04f);
    EXPECT_FLOAT_EQ(eased(out, 0.85f), 7.5625f * (0.85f - 0.8181818f) * (0.85f - 0.8181818f) + 0.9375f);
    EXPECT_FLOAT_EQ(eased(out, 0.95f), 7.5625f * (0.95f - 0.95454544f) * (0.95f - 0.95454544f) + 0.984375f);
    ZTEaseBounceIn* in = started<ZTEaseBounceIn>();
    EXPECT_FLOAT_EQ(eased(in, 0.5f), 1 - 0.765625f);
    EXPECT_NEAR(eased(in, 0), 0, 1e-6);
    ZTEaseBounceInOut* inOut = started<ZTEaseBounceInOut>();
    EXPECT_EQ(eased(inOut, 0.5f), 0.5f);
    EXPECT_FLOAT_EQ(eased(inOut, 0.75f), 0.765625f * 0.5f + 0.5f);
}

TEST_F(EaseActionTest, backCurvesOvershootTheirEnds)
{
    ZTEaseBackIn* in = started<ZTEaseBackIn>();
    EXPECT_FLOAT_EQ(eased(in, 0.5f), -0.0876975f);
    EXPECT_FLOAT_EQ(eased(in, 1), 1);
    ZTEaseBackOut* out = started<ZTEaseBackOut>();
    EXPECT_FLOAT_EQ(eased(out, 0.5f), 1.0876975f);
    EXPECT_FLOAT_EQ(eased(out, 0), 0);
    ZTEaseBackInOut* inOut = started<ZTEaseBackInOut>();
    EXPECT_FLOAT_EQ(eased(inOut, 0.5f), 0.5f);
    EXPECT_LT(eased(inOut, 0.1f), 0);
    EXPECT_GT(eased(inOut, 0.9f), 1);
}

TEST_F(EaseActionTest, elasticCurvesPassTheirEndsExactly)
{
    ZTEaseElasticOut* out = started<ZTEaseElasticOut>(0.3f);
    EXPECT_EQ(eased(out, 0), 0);
    EXPECT_EQ(eased(out, 1), 1);
    EXPECT_GT(eased(out, 0.1f), 1);
    ZTEaseElasticIn* in = started<ZTEaseElasticIn>();
    EXPECT_EQ(in->getPeriod(), 0.3f);
    EXPECT_EQ(eased(in, 0), 0);
    EXPECT_EQ(eased(in, 1), 1);
    EXPECT_LT(eased(in, 0.9f), 0);
}

TEST_F(EaseActionTest, elasticInOutReplacesAZeroPeriodInItsFirstInnerUpdate)
{
    ZTEaseElasticInOut* inOut = started<ZTEaseElasticInOut>(0.0f);
    eased(inOut, 0);
    EXPECT_EQ(inOut->getPeriod(), 0);
    float value = eased(inOut, 0.25f);
    EXPECT_EQ(inOut->getPeriod(), 0.3f * 1.5f);
    EXPECT_TRUE(std::isfinite(value));
    EXPECT_EQ(eased(inOut, 1), 1);
}

// Wrapping

TEST_F(EaseActionTest, easeAroundASequenceMovesItsSplit)
{
    ActionLog log;
    ZTEaseIn* ease =
        ZTEaseIn::actionWithAction(ZTSequence::actionOneTwo(RecordingAction::create(0.5f, &log, "a"),
                                                            RecordingAction::create(0.5f, &log, "b")),
                                   2);
    ease->startWithTarget(nullptr);
    ease->update(0.6f); // 0.36 of the sequence: still the first half
    EXPECT_EQ(log.events, (std::vector<std::string>{"a start", "a update 0.720"}));
}

TEST_F(EaseActionTest, wrapperTimeDecidesTheEndAndTheInnerActionIsOnlyUpdated)
{
    ZTNode* node = runningNode();
    RecordingAction* wrapped = inner(2);
    ZTEaseOut* ease = ZTEaseOut::actionWithAction(wrapped, 2);
    EXPECT_EQ(ease->getDuration(), 2);
    run(node, ease);
    manager()->update(0);
    manager()->update(1);
    manager()->update(1);
    EXPECT_EQ(actionsOf(node), 0u);
    EXPECT_EQ(wrapped->getElapsed(), 0);
    EXPECT_EQ(m_log.events,
              (std::vector<std::string>{"start", "update 0.000", "update 0.707", "update 1.000", "stop"}));
}

TEST_F(EaseActionTest, moveWithBounceOutLandsWhereThePlainMoveWould)
{
    ZTNode* node = runningNode();
    run(node, ZTEaseBounceOut::actionWithAction(ZTMoveBy::actionWithDuration(1, ZTPoint(100, 0))));
    manager()->update(0);
    manager()->update(0.5f);
    EXPECT_FLOAT_EQ(node->getPosition().x, 76.5625f);
    manager()->update(0.5f);
    EXPECT_NEAR(node->getPosition().x, 100, 1e-4);
}

TEST_F(EaseActionTest, reversesFollowTheTableOfCurves)
{
    ZTActionInterval* rate = started<ZTEaseIn>(4.0f)->reverse();
    EXPECT_EQ(typeid(*rate), typeid(ZTEaseRateAction));
    EXPECT_EQ(static_cast<ZTEaseRateAction*>(rate)->getRate(), 0.25f);
    EXPECT_EQ(typeid(*started<ZTEaseInOut>(3.0f)->reverse()), typeid(ZTEaseInOut));
    EXPECT_EQ(typeid(*started<ZTEaseExponentialIn>()->reverse()), typeid(ZTEaseExponentialOut));
    EXPECT_EQ(typeid(*started<ZTEaseExponentialInOut>()->reverse()), typeid(ZTActionEase));
    EXPECT_EQ(typeid(*started<ZTEaseSineOut>()->reverse()), typeid(ZTEaseSineIn));
    EXPECT_EQ(typeid(*started<ZTEaseBounceIn>()->reverse()), typeid(ZTEaseBounceOut));
    EXPECT_EQ(typeid(*started<ZTEaseBounce>()->reverse()), typeid(ZTActionEase));
    EXPECT_EQ(typeid(*started<ZTEaseBackOut>()->reverse()), typeid(ZTEaseBackIn));
    ZTActionInterval* elastic = started<ZTEaseElasticIn>(0.4f)->reverse();
    EXPECT_EQ(typeid(*elastic), typeid(ZTEaseElasticOut));
    EXPECT_EQ(static_cast<ZTEaseElastic*>(elastic)->getPeriod(), 0.4f);
}

TEST_F(EaseActionTest, copyOwnsACopyOfTheInnerActionWithTheSameRate)
{
    ZTEaseInOut* ease = ZTEaseInOut::actionWithAction(inner(), 3);
    ease->setTag(9);
    auto* copy = static_cast<ZTEaseInOut*>(ease->copy());
    EXPECT_EQ(copy->getRate(), 3);
    EXPECT_NE(copy->getInnerAction(), ease->getInnerAction());
    EXPECT_EQ(copy->getInnerAction()->getDuration(), 1);
    EXPECT_EQ(copy->getTag(), kZTActionTagInvalid);
    copy->release();

    ZTActionEase* plain = ZTActionEase::actionWithAction(inner());
    plain->setTag(9);
    auto* plainCopy = static_cast<ZTActionEase*>(plain->copy());
    EXPECT_EQ(plainCopy->getTag(), 9);
    plainCopy->release();
}

TEST_F(EaseActionTest, stopStopsTheInnerActionFirst)
{
    ZTEaseSineIn* ease = started<ZTEaseSineIn>();
    m_log.clear();
    ease->stop();
    EXPECT_EQ(m_log.events, (std::vector<std::string>{"stop"}));
    EXPECT_EQ(ease->getTarget(), nullptr);
}
