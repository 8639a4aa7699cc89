#pragma once

#include <functional>

class QObject;

// Calls a function whenever one signal of an item arrives, for signals of classes whose headers the bridge
// does not see (Qt Quick's private ones, the engine's items). The node managers use it (and functor
// connections) instead of slots that ask QObject::sender(): sender() walks every connection its receiver
// has, and a manager has thousands. A connection is all it makes: nothing lives beside the item.
class ItemSignalRelay
{
public:
    ItemSignalRelay() = delete;

    // signal as SIGNAL() gives it; the function is not called any more once context is gone. False, with
    // one warning line, when the item has no such signal.
    static bool connectSignal(QObject* item, const char* signal, QObject* context,
                              std::function<void()> function);
};
