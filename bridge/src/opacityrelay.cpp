#include "opacityrelay.h"

#include <QQuickItem>

#include <private/qquickitem_p.h>

#include <algorithm>
#include <memory>
#include <unordered_map>

namespace {

constexpr QQuickItemPrivate::ChangeTypes kListened =
    QQuickItemPrivate::Opacity | QQuickItemPrivate::Parent | QQuickItemPrivate::Destroyed;

struct Registry
{
    std::unordered_map<QQuickItem*, std::unique_ptr<OpacityRelay>> relays;
    // Relays no longer needed, deleted once no call into one of them runs any more.
    std::vector<std::unique_ptr<OpacityRelay>> dropped;
    int depth = 0;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

// Marks a call into the relays: what they drop meanwhile is deleted when the outermost one returns.
class CallScope
{
public:
    CallScope() { ++registry().depth; }
    ~CallScope()
    {
        if (--registry().depth == 0)
            registry().dropped.clear();
    }
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;
};

} // namespace

OpacityRelay::OpacityRelay(QQuickItem* item) : m_item(item)
{
    QQuickItemPrivate::get(item)->addItemChangeListener(this, kListened);
}

OpacityRelay::~OpacityRelay()
{
    if (m_item)
        QQuickItemPrivate::get(m_item)->removeItemChangeListener(this, kListened);
}

OpacityRelay* OpacityRelay::of(QQuickItem* item, bool make)
{
    auto& relays = registry().relays;
    const auto found = relays.find(item);
    if (found != relays.end())
        return found->second.get();
    if (!make)
        return nullptr;
    auto* relay = new OpacityRelay(item);
    relays.emplace(item, std::unique_ptr<OpacityRelay>(relay));
    return relay;
}

void OpacityRelay::dropIfIdle(OpacityRelay* relay)
{
    if (relay->m_following || !relay->m_followers.empty())
        return;
    Registry& all = registry();
    const auto found = all.relays.find(relay->m_item);
    if (found == all.relays.end() || found->second.get() != relay)
        return;
    all.dropped.push_back(std::move(found->second));
    all.relays.erase(found);
}

void OpacityRelay::attach(QQuickItem* item)
{
    CallScope scope;
    OpacityRelay* relay = of(item, true);
    if (relay->m_following)
        return;
    relay->m_following = true;
    relay->follow();
}

void OpacityRelay::follow()
{
    for (QQuickItem* ancestor = m_item->parentItem(); ancestor; ancestor = ancestor->parentItem()) {
        OpacityRelay* relay = of(ancestor, true);
        relay->m_followers.push_back(this);
        m_ancestors.append(relay);
    }
}

void OpacityRelay::unfollow()
{
    const auto ancestors = m_ancestors;
    m_ancestors.clear();
    for (OpacityRelay* relay : ancestors) {
        auto& followers = relay->m_followers;
        followers.erase(std::remove(followers.begin(), followers.end(), this), followers.end());
        dropIfIdle(relay);
    }
}

void OpacityRelay::ancestorsChanged()
{
    unfollow();
    follow();
    if (m_item->parentItem())
        emit m_item->opacityChanged();
}

void OpacityRelay::itemOpacityChanged(QQuickItem*)
{
    CallScope scope;
    // A follower's reaction may change who follows.
    const std::vector<OpacityRelay*> followers = m_followers;
    for (OpacityRelay* follower : followers) {
        if (std::find(m_followers.begin(), m_followers.end(), follower) != m_followers.end())
            emit follower->m_item->opacityChanged();
    }
}

void OpacityRelay::itemParentChanged(QQuickItem*, QQuickItem*)
{
    CallScope scope;
    if (m_following)
        ancestorsChanged();
    const std::vector<OpacityRelay*> followers = m_followers;
    for (OpacityRelay* follower : followers) {
        if (follower->m_following && registry().relays.count(follower->m_item))
            follower->ancestorsChanged();
    }
}

void OpacityRelay::itemDestroyed(QQuickItem*)
{
    CallScope scope;
    // Qt drops its listeners once they have been told.
    QQuickItem* item = m_item;
    m_item = nullptr;
    m_following = false;
    unfollow();
    for (OpacityRelay* follower : m_followers) {
        auto& ancestors = follower->m_ancestors;
        ancestors.erase(std::remove(ancestors.begin(), ancestors.end(), this), ancestors.end());
    }
    m_followers.clear();
    Registry& all = registry();
    const auto found = all.relays.find(item);
    if (found != all.relays.end() && found->second.get() == this) {
        all.dropped.push_back(std::move(found->second));
        all.relays.erase(found);
    }
}
