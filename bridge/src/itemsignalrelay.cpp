#include "itemsignalrelay.h"

bool ItemSignalRelay::connectSignal(QObject* item, const char* signal, QObject* context,
                                    std::function<void()> function)
{
    auto* relay = new ItemSignalRelay(item, context, std::move(function));
    if (QObject::connect(item, signal, relay, SLOT(fire())))
        return true;
    delete relay;
    return false;
}

ItemSignalRelay::ItemSignalRelay(QObject* item, QObject* context, std::function<void()> function)
    : QObject(item), m_context(context), m_function(std::move(function))
{
}

void ItemSignalRelay::fire()
{
    if (m_context)
        m_function();
}
