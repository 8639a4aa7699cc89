#pragma once

class QQuickItem;

namespace zanth2d {
class ZTNode;
}

// The changes of one item waiting for the next frame's pass, which applies them to the item's node.
struct ModificationData
{
    enum Flag
    {
        // Applied by the previous pass; the next pass drops the record.
        ModificationPresent = 1,
        ModificationPosition = 2,
        // rotation holds the new rotation.
        ModificationRotation = 4,
        // scaleX and scaleY hold the new scale.
        ModificationScale = 8
    };

    QQuickItem* item = nullptr;
    int flags = 0;
    // Degrees.
    double rotation = 0;
    double scaleX = 0;
    double scaleY = 0;
    zanth2d::ZTNode* node = nullptr;
};
