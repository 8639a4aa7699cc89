#pragma once

#include <cstdarg>
#include <vector>

#include "layers_scenes_transitions_nodes/ZTLayer.h"

namespace zanth2d {

// Holds several layers and shows one of them at a time as its only child.
class ZTLayerMultiplex : public ZTLayer
{
public:
    ZTLayerMultiplex();
    ~ZTLayerMultiplex() override;

    // The list ends with a null layer; the first layer is shown.
    static ZTLayerMultiplex* layerWithLayers(ZTLayer* layer, ...);
    static ZTLayerMultiplex* layerWithLayer(ZTLayer* layer);
    bool initWithLayers(ZTLayer* layer, va_list params);
    bool initWithLayer(ZTLayer* layer);

    void addLayer(ZTLayer* layer);
    // Shows layer n (n below the number of layers), removing the current one with cleanup.
    void switchTo(unsigned int n);
    // As switchTo, and the current layer is also dropped from the list.
    void switchToAndReleaseMe(unsigned int n);

    unsigned int enabledLayer() const { return m_nEnabledLayer; }

protected:
    unsigned int m_nEnabledLayer = 0;
    // Each layer retained; a layer dropped by switchToAndReleaseMe leaves an empty (null) place.
    std::vector<ZTLayer*>* m_pLayers = nullptr;
};

} // namespace zanth2d
