#include "layers_scenes_transitions_nodes/ZTLayerMultiplex.h"

#include "ZTMacros.h"

namespace zanth2d {

ZTLayerMultiplex::ZTLayerMultiplex() = default;

ZTLayerMultiplex::~ZTLayerMultiplex()
{
    if (m_pLayers) {
        for (ZTLayer* layer : *m_pLayers) {
            ZT_SAFE_RELEASE(layer);
        }
        delete m_pLayers;
    }
}

ZTLayerMultiplex* ZTLayerMultiplex::layerWithLayers(ZTLayer* layer, ...)
{
    va_list params;
    va_start(params, layer);
    auto* multiplex = new ZTLayerMultiplex();
    const bool ok = multiplex->initWithLayers(layer, params);
    va_end(params);
    if (ok) {
        multiplex->autorelease();
        return multiplex;
    }
    multiplex->release();
    return nullptr;
}

ZTLayerMultiplex* ZTLayerMultiplex::layerWithLayer(ZTLayer* layer)
{
    auto* multiplex = new ZTLayerMultiplex();
    if (multiplex->initWithLayer(layer)) {
        multiplex->autorelease();
        return multiplex;
    }
    multiplex->release();
    return nullptr;
}

bool ZTLayerMultiplex::initWithLayer(ZTLayer* layer)
{
    m_pLayers = new std::vector<ZTLayer*>();
    addLayer(layer);
    m_nEnabledLayer = 0;
    addChild(layer);
    return true;
}

bool ZTLayerMultiplex::initWithLayers(ZTLayer* layer, va_list params)
{
    m_pLayers = new std::vector<ZTLayer*>();
    for (ZTLayer* next = layer; next; next = va_arg(params, ZTLayer*)) {
        addLayer(next);
    }
    m_nEnabledLayer = 0;
    addChild(m_pLayers->front());
    return true;
}

void ZTLayerMultiplex::addLayer(ZTLayer* layer)
{
    ZTAssert(m_pLayers, "m_pLayers");
    layer->retain();
    m_pLayers->push_back(layer);
}

void ZTLayerMultiplex::switchTo(unsigned int n)
{
    ZTAssert(n < m_pLayers->size(), "n < m_pLayers->count()");
    removeChild((*m_pLayers)[m_nEnabledLayer], true);
    m_nEnabledLayer = n;
    addChild((*m_pLayers)[n]);
}

void ZTLayerMultiplex::switchToAndReleaseMe(unsigned int n)
{
    ZTAssert(n < m_pLayers->size(), "n < m_pLayers->count()");
    ZTLayer* previous = (*m_pLayers)[m_nEnabledLayer];
    removeChild(previous, true);
    ZT_SAFE_RELEASE(previous);
    (*m_pLayers)[m_nEnabledLayer] = nullptr;
    m_nEnabledLayer = n;
    addChild((*m_pLayers)[n]);
}

} // namespace zanth2d
