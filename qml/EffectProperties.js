.pragma library

// The editable properties of an effect, grouped as the properties menu shows them.

// Only real GL blend factors: zero, one and the source/destination colour and alpha factors.
var blendDestinationFactors = [0, 1, 768, 769, 770, 771, 772, 773, 774, 775]
var blendSourceFactors = [0, 1, 768, 769, 770, 771, 772, 773, 774, 775, 776]

function range(min, max, step, label, extra) {
    var m = { "min": min, "max": max, "label": label }
    if (step !== undefined)
        m.stepsize = step
    for (var key in extra)
        m[key] = extra[key]
    return m
}

function metaData() {
    var red = { "color": "red" }
    return {
        "Emitter Location": {
            "x": range(0, 480, undefined, "Position X"),
            "y": range(0, 320, undefined, "Position Y"),
            "sourcePositionVariance": { "min": { "x": 0, "y": 0 }, "max": { "x": 1000, "y": 1000 },
                                        "invert": { "x": false, "y": true }, "label": "Position Variance" }
        },
        "Particle Configuration": {
            "maxParticles": range(0, 2000, undefined, "Particle Count", red),
            "particleLifespan": range(0, 10, 0.01, "Lifespan", red),
            "particleLifespanVariance": range(0, 10, 0.01, "Lifespan Variance"),
            "startParticleSize": range(0, 512, undefined, "Start Size"),
            "startParticleSizeVariance": range(0, 512, undefined, "Start Size Variance"),
            "finishParticleSize": range(0, 512, undefined, "End Size"),
            "finishParticleSizeVariance": range(0, 512, undefined, "End Size Variance"),
            "rotation": range(0, 360, undefined, "Emit Angle"),
            "angleVariance": range(0, 360, undefined, "Emit Angle Variance"),
            "rotationStart": range(-360, 360, undefined, "Start Spin"),
            "rotationStartVariance": range(-360, 360, undefined, "Start Spin Variance"),
            "rotationEnd": range(-360, 360, undefined, "End Spin"),
            "rotationEndVariance": range(-360, 360, undefined, "End Spin Variance")
        },
        "Emitter Behaviour": {
            "emitterType": range(0, 1, 1, "Particle Mode"),
            "duration": range(0, 10, 0.01, "Duration"),
            "positionType": range(0, 2, 1, "Position Type"),
            "visible": { "label": "Visible" }
        },
        "Gravity Mode": {
            "gravity": { "min": { "x": -1000, "y": -1000 }, "max": { "x": 1000, "y": 1000 }, "label": "Gravity" },
            "speed": range(0, 1000, undefined, "Speed", red),
            "speedVariance": range(0, 1000, undefined, "Speed Variance"),
            "tangentialAcceleration": range(-1000, 1000, undefined, "Tangential Acc."),
            "tangentialAccelVariance": range(-1000, 1000, undefined, "Tangential Acc. Variance"),
            "radialAcceleration": range(-1000, 1000, undefined, "Radial Acc."),
            "radialAccelVariance": range(-1000, 1000, undefined, "Radial Acc. Variance")
        },
        "Radiation Mode": {
            "minRadius": range(0, 512, undefined, "Minimal Radius"),
            "minRadiusVariance": range(0, 512, undefined, "Minimal Radius Variance"),
            "maxRadius": range(0, 512, undefined, "Maximal Radius"),
            "maxRadiusVariance": range(0, 512, undefined, "Maximal Radius Variance"),
            "rotatePerSecond": range(0, 360, undefined, "Rotation/s"),
            "rotatePerSecondVariance": range(0, 360, undefined, "Rotation/s Variance")
        },
        "Color": {
            "startColor": range(0, 255, 1, "Start Color"),
            "startColorVariance": range(0, 255, 1, "Start Color Variance"),
            "finishColor": range(0, 255, 1, "End Color"),
            "finishColorVariance": range(0, 255, 1, "End Color Variance"),
            "startColorAlpha": range(0, 1, 0.1, "Start Opacity"),
            "startColorVarianceAlpha": range(0, 1, 0.1, "Start Opacity Variance"),
            "finishColorAlpha": range(0, 1, 0.1, "End Opacity"),
            "finishColorVarianceAlpha": range(0, 1, 0.1, "End Opacity Variance")
        },
        "Appearance": {
            "blendFuncSource": range(1, 771, undefined, "Blend Source", { "values": blendSourceFactors }),
            "blendFuncDestination": range(1, 771, undefined, "Blend Destination", { "values": blendDestinationFactors }),
            "textureFileName": { "label": "Texture" }
        }
    }
}

// The 44 saved property names, in file order.
function propertyNames() {
    var names = []
    var groups = metaData()
    for (var group in groups)
        for (var name in groups[group])
            names.push(name)
    return names.sort()
}
