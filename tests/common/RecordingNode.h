#pragma once

#include <GL/gl.h>

#include <array>
#include <string>
#include <vector>

#include "base_nodes/ZTNode.h"
#include "support/ZTRenderer.h"

// A node (or scene) that logs its life-cycle calls, draws, updates and destruction as "name.call", and
// keeps the model-view matrix its last draw drew with. The log must outlive the node.
template <typename Base> class Recording : public Base
{
public:
    Recording(std::vector<std::string>* log, std::string name) : m_log(log), m_name(std::move(name)) {}
    ~Recording() override { m_log->push_back(m_name + ".destroyed"); }

    // Autoreleased, like the library's own factories.
    static Recording* create(std::vector<std::string>* log, const std::string& name)
    {
        auto* node = new Recording(log, name);
        node->autorelease();
        return node;
    }

    void draw() override
    {
        m_log->push_back(m_name + ".draw");
        // Like any node that uses GL itself: the scene graph's matrix is in GL only from here on.
        zanth2d::ZTRenderer::sharedRenderer()->beginDirectDraw();
        glGetFloatv(GL_MODELVIEW_MATRIX, drawMatrix.data());
    }
    void onEnter() override
    {
        m_log->push_back(m_name + ".enter");
        Base::onEnter();
    }
    void onEnterTransitionDidFinish() override
    {
        m_log->push_back(m_name + ".entered");
        Base::onEnterTransitionDidFinish();
    }
    void onExit() override
    {
        m_log->push_back(m_name + ".exit");
        Base::onExit();
    }
    void cleanup() override
    {
        m_log->push_back(m_name + ".cleanup");
        Base::cleanup();
    }
    void update(float) override { ++updates; }

    std::array<float, 16> drawMatrix{};
    int updates = 0;

private:
    std::vector<std::string>* m_log;
    std::string m_name;
};

using RecordingNode = Recording<zanth2d::ZTNode>;
