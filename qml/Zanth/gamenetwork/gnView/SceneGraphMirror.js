.pragma library

// Items a Repeater makes after its page was mirrored stay invisible unless handed to the game window;
// those made while the page itself is being created are mirrored with it.
function mirrorChildren(container, pageCompleted) {
    if (!pageCompleted || !container)
        return
    var window = gameWindowOf(container)
    if (window)
        window.loadItemWithSceneGraph(container)
}

// The game window an item is shown in, or null.
function gameWindowOf(item) {
    var window = item
    while (window && typeof window.loadItemWithSceneGraph !== "function")
        window = window.parent
    return window ? window : null
}
