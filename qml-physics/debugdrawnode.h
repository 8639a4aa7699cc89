#pragma once

#include "debugdrawrecorder.h"

#include "base_nodes/ZTNode.h"

#include <vector>

// The scene-graph node of the physics debug view: a faint dark backdrop over the view's area and the last
// recorded picture of the world, drawn with GL on every frame. Its origin is the view's top-left corner;
// the picture's y runs up from there, as the scene graph's does.
class DebugDrawNode : public zanth2d::ZTNode
{
public:
    // Autoreleased.
    static DebugDrawNode* debugDrawNode();

    // Replaces the picture.
    void setShapes(std::vector<DebugDrawShape> shapes) { m_shapes = std::move(shapes); }
    const std::vector<DebugDrawShape>& shapes() const { return m_shapes; }
    // The backdrop's size in points; nothing is drawn below 1 x 1.
    void setViewSize(float width, float height);
    // 0..1, multiplied into every colour.
    void setDrawOpacity(float opacity) { m_opacity = opacity; }
    // A view without a world draws neither backdrop nor picture.
    void setHasWorld(bool hasWorld) { m_hasWorld = hasWorld; }

    void draw() override;

private:
    std::vector<DebugDrawShape> m_shapes;
    float m_width = 0.0f;
    float m_height = 0.0f;
    float m_opacity = 1.0f;
    bool m_hasWorld = false;
};
