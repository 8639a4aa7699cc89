.pragma library

// Items a Repeater makes after its page was mirrored stay invisible unless handed to the game window;
// those made while the page itself is being created are mirrored with it.
function mirrorChildren(container, pageCompleted) {
    if (!pageCompleted || !container)
        return
    var window = container
    while (window && typeof window.loadItemWithSceneGraph !== "function")
        window = window.parent
    if (window)
        window.loadItemWithSceneGraph(container)
}
