import QtQuick 2.15
import Zanth 1.0

// The older particle effect. The bridge's particle manager builds an emitter from these properties on
// each start; only the start colour, texture, duration, position type and emitter type reach a running
// emitter. A property still holding 0xDEF was not set by the user and becomes 0 at completion. The
// angle counts clockwise from the right (90 is downwards); duration ParticleSystem.Infinite emits forever.
ParticleSystem {
    id: particleSystem

    property int positionType: ParticleSystem.Free
    property bool useAsEntityChild: enabled
    property int emitterType: ParticleSystem.Gravity
    property real gravityx: 0xDEF
    property real gravityy: 0xDEF
    property real speed: 0xDEF
    property real speedVariance: 0xDEF
    property real radialAcceleration: 0xDEF
    property real radialAccelVariance: 0xDEF
    property real tangentialAcceleration: 0xDEF
    property real tangentialAccelVariance: 0xDEF
    property real rotatePerSecond: 0xDEF
    property real rotatePerSecondVariance: 0xDEF
    property real minRadius: 0xDEF
    property real minRadiusVariance: 0xDEF
    property real maxRadius: 0xDEF
    property real maxRadiusVariance: 0xDEF
    property int particleStatus: ParticleSystem.Loading
    property url filename: ""
    property real emissionRate: maxParticles / particleLifespan
    property int maxParticles: 0xDEF
    property real particleLifespan: 0xDEF
    property real particleLifespanVariance: 0xDEF
    property real duration: 0xDEF
    property int blendFuncSource: 0xDEF
    property int blendFuncDestination: 0xDEF
    property real startColorRed: 0xDEF
    property real startColorGreen: 0xDEF
    property real startColorBlue: 0xDEF
    property real startColorAlpha: 0xDEF
    property real startColorVarianceRed: 0xDEF
    property real startColorVarianceGreen: 0xDEF
    property real startColorVarianceBlue: 0xDEF
    property real startColorVarianceAlpha: 0xDEF
    property real finishColorRed: 0xDEF
    property real finishColorGreen: 0xDEF
    property real finishColorBlue: 0xDEF
    property real finishColorAlpha: 0xDEF
    property real finishColorVarianceRed: 0xDEF
    property real finishColorVarianceGreen: 0xDEF
    property real finishColorVarianceBlue: 0xDEF
    property real finishColorVarianceAlpha: 0xDEF
    property real startParticleSize: 0xDEF
    property real startParticleSizeVariance: 0xDEF
    property real finishParticleSize: 0xDEF
    property real finishParticleSizeVariance: 0xDEF
    property real sourcePositionx: 0xDEF
    property real sourcePositiony: 0xDEF
    property real sourcePositionVariancex: 0xDEF
    property real sourcePositionVariancey: 0xDEF
    property real angle: 0xDEF
    property real angleVariance: 0xDEF
    property real rotationStart: 0xDEF
    property real rotationStartVariance: 0xDEF
    property real rotationEnd: 0xDEF
    property real rotationEndVariance: 0xDEF
    property url textureFileName: ""
    property bool requestedPlay: false

    signal start
    signal stop
    signal stopLivingParticles
    signal startSystem
    signal stopSystem

    // Sets the property to pValue unless the user set it; true when it was set.
    function setUnchangedPropertyValue(pName, pValue) {
        if (particleSystem[pName] !== 0xDEF)
            return false
        particleSystem[pName] = pValue
        return true
    }

    x: sourcePositionx
    y: sourcePositiony
    enabled: typeof rootGameWindow !== "undefined" && rootGameWindow && rootGameWindow.settings
             ? rootGameWindow.settings.particlesEnabled : true

    onStart: {
        if (!enabled)
            return
        if (particleStatus === ParticleSystem.Loading) {
            console.debug("Particles: start() was called, but Particles is in currently loading, so change status to statusRequestsPlay")
            particleStatus = ParticleSystem.RequestsPlay
        } else if (particleStatus === ParticleSystem.Ready || particleStatus === ParticleSystem.Playing) {
            startSystem()
            particleStatus = ParticleSystem.Playing
            console.debug("Particles: changed to status playing")
        }
    }
    onStop: {
        if (particleStatus === ParticleSystem.Playing) {
            stopSystem()
            particleStatus = ParticleSystem.Ready
        } else if (particleStatus === ParticleSystem.RequestsPlay) {
            particleStatus = ParticleSystem.Ready
        }
    }
    onParticleStatusChanged: {
        if (particleStatus === ParticleSystem.RequestsPlay) {
            requestedPlay = true
        } else if (particleStatus === ParticleSystem.Ready && requestedPlay) {
            requestedPlay = false
            start()
        }
    }

    Component.onCompleted: {
        var names = ["gravityx", "gravityy", "speed", "speedVariance", "radialAcceleration", "radialAccelVariance",
                     "tangentialAcceleration", "tangentialAccelVariance", "rotatePerSecond", "rotatePerSecondVariance",
                     "minRadius", "minRadiusVariance", "maxRadius", "maxRadiusVariance", "maxParticles",
                     "particleLifespan", "particleLifespanVariance", "duration", "blendFuncSource",
                     "blendFuncDestination", "startColorRed", "startColorGreen", "startColorBlue", "startColorAlpha",
                     "startColorVarianceRed", "startColorVarianceGreen", "startColorVarianceBlue",
                     "startColorVarianceAlpha", "finishColorRed", "finishColorGreen", "finishColorBlue",
                     "finishColorAlpha", "finishColorVarianceRed", "finishColorVarianceGreen",
                     "finishColorVarianceBlue", "finishColorVarianceAlpha", "startParticleSize",
                     "startParticleSizeVariance", "finishParticleSize", "finishParticleSizeVariance",
                     "sourcePositionx", "sourcePositiony", "sourcePositionVariancex", "sourcePositionVariancey",
                     "angle", "angleVariance", "rotationStart", "rotationStartVariance", "rotationEnd",
                     "rotationEndVariance"]
        for (var i = 0; i < names.length; ++i)
            setUnchangedPropertyValue(names[i], 0)
    }
}
