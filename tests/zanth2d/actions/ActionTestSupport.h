#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ZTScheduler.h"
#include "actions/ZTActionInterval.h"
#include "actions/ZTActionManager.h"
#include "base_nodes/ZTNode.h"
#include "cocoa/ZTAutoreleasePool.h"

// What the recording actions saw, in order: "start", "update 0.5", "stop".
struct ActionLog
{
    std::vector<std::string> events;
    std::vector<float> updates;

    void clear()
    {
        events.clear();
        updates.clear();
    }
};

// An interval action that changes nothing and writes down every call of the action protocol.
class RecordingAction : public zanth2d::ZTActionInterval
{
public:
    static RecordingAction* create(float duration, ActionLog* log, const char* name = "")
    {
        auto* action = new RecordingAction();
        action->initWithDuration(duration);
        action->m_log = log;
        action->m_name = name;
        action->autorelease();
        return action;
    }

    zanth2d::ZTObject* copyWithZone(zanth2d::ZTZone* pZone) override
    {
        zanth2d::ZTZone local;
        RecordingAction* copy = copyObjectForZone<RecordingAction>(pZone, local);
        ZTActionInterval::copyWithZone(pZone);
        copy->m_log = m_log;
        copy->m_name = m_name;
        return copy;
    }

    void startWithTarget(zanth2d::ZTNode* target) override
    {
        ZTActionInterval::startWithTarget(target);
        record("start");
    }

    void stop() override
    {
        record("stop");
        ZTActionInterval::stop();
    }

    void update(float t) override
    {
        m_log->updates.push_back(t);
        record("update " + std::to_string(t).substr(0, 5));
    }

    zanth2d::ZTActionInterval* reverse() override
    {
        return create(m_fDuration, m_log, (m_name + "'").c_str());
    }

private:
    void record(const std::string& what)
    {
        m_log->events.push_back(m_name.empty() ? what : m_name + " " + what);
    }

    ActionLog* m_log = nullptr;
    std::string m_name;
};

// Runs the action on the node as the node itself does: paused while the node is not running.
inline zanth2d::ZTAction* run(zanth2d::ZTNode* node, zanth2d::ZTAction* action)
{
    zanth2d::ZTActionManager::sharedManager()->addAction(action, node, !node->getIsRunning());
    return action;
}

inline unsigned int actionsOf(zanth2d::ZTNode* node)
{
    return zanth2d::ZTActionManager::sharedManager()->numberOfRunningActionsInTarget(node);
}

// Each test gets a pool that is emptied at its end, and a fresh action manager and scheduler.
class ActionTest : public ::testing::Test
{
protected:
    void SetUp() override { zanth2d::ZTPoolManager::getInstance()->push(); }

    void TearDown() override
    {
        zanth2d::ZTActionManager::purgeSharedManager();
        zanth2d::ZTScheduler::purgeSharedScheduler();
        zanth2d::ZTPoolManager::purgePoolManager();
    }

    zanth2d::ZTActionManager* manager() { return zanth2d::ZTActionManager::sharedManager(); }

    // A node that the test owns (one reference), entered as if it were on the running scene.
    zanth2d::ZTNode* runningNode()
    {
        auto* node = new zanth2d::ZTNode();
        node->onEnter();
        m_nodes.push_back(node);
        return node;
    }

    // Steps an action the way the manager does, without a node.
    static void stepAlone(zanth2d::ZTAction* action, const std::vector<float>& steps)
    {
        for (float dt : steps) {
            action->step(dt);
        }
    }

    ~ActionTest() override
    {
        for (auto* node : m_nodes) {
            node->release();
        }
    }

private:
    std::vector<zanth2d::ZTNode*> m_nodes;
};

// A node that counts its own destruction, so tests can prove the manager lets it go exactly once.
class CountedNode : public zanth2d::ZTNode
{
public:
    explicit CountedNode(int* destroyed) : m_destroyed(destroyed) {}
    ~CountedNode() override { ++*m_destroyed; }

private:
    int* m_destroyed;
};

// A steppable action whose step runs a test-supplied function, for re-entrancy from inside a step.
template <typename F> class StepHookAction : public zanth2d::ZTAction
{
public:
    static StepHookAction* create(F hook)
    {
        auto* action = new StepHookAction(hook);
        action->autorelease();
        return action;
    }
    explicit StepHookAction(F hook) : m_hook(hook) {}
    void step(float) override
    {
        ++steps;
        m_hook(this);
    }
    bool isDone() override { return false; }
    void stop() override
    {
        ++stops;
        ZTAction::stop();
    }

    int steps = 0;
    int stops = 0;

private:
    F m_hook;
};

template <typename F> StepHookAction<F>* hookAction(F hook)
{
    return StepHookAction<F>::create(hook);
}
