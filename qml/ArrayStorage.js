// A list of items; one instance per importing component.

var list = []

function getArray() {
    return list
}

function hasElement(e) {
    for (var i = 0; i < list.length; ++i)
        if (list[i] === e)
            return e
    return false
}

function push(e) {
    list.push(e)
}

function remove(e, destroy) {
    var at = list.indexOf(e)
    if (at < 0)
        return
    if (destroy && e && e.destroy)
        e.destroy()
    list.splice(at, 1)
}

function removeAll(destroy) {
    if (destroy)
        for (var i = 0; i < list.length; ++i)
            if (list[i] && list[i].destroy)
                list[i].destroy()
    list = []
}
