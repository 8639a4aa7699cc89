#pragma once

namespace zanth2d {

// What the GL view hands upwards to the QML bridge. The platform layer sits below the bridge, so the
// bridge implements this and passes itself to ZTEGLView::Create; it is not owned by the view.
// Positions and sizes are view points with the origin at the top-left corner.
class ZTGLViewEventSink
{
public:
    virtual ~ZTGLViewEventSink() = default;
    // key: a Qt key code; modifiers: Qt keyboard modifier flags.
    virtual void keyPressed(int key, int modifiers) = 0;
    virtual void keyReleased(int key, int modifiers) = 0;
    // delta: the vertical wheel delta truncated to whole steps.
    virtual void scrollWheel(int x, int y, int delta, bool horizontal) = 0;
    // False until the application has loaded its main QML file; resizes before that are not redrawn.
    virtual bool getAppStarted() const = 0;
    // Lays the items out for the new window size; the view draws the frame right after.
    virtual void reshape(float width, float height) = 0;
    // Applies the item changes made since the last frame to their nodes; no game time passes.
    virtual void applyItemChanges() = 0;
};

} // namespace zanth2d
