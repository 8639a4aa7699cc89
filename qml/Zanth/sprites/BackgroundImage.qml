import QtQuick 2.15
import Zanth 1.0

// A multi-resolution image meant for backgrounds. Its pixelFormat sits on this item, not on the inner
// image that the scene graph loads, so it does not change the texture's format.
MultiResolutionImage {
    property int pixelFormat: 3
}
