// 10,000 live particles from QML: the engine's Particle item against Qt Quick's own particle system (an
// Emitter and an ImageParticle), with the same 32 x 32 texture, size 24 +- 8 px, rate 4,000 per second
// and lifespan 2.5 s, emitted upwards at 350 +- 100 px/s under a gravity of 200 px/s^2, one after the other
// under the same X server. Prints frames per second and CPU time per frame of both (the process's threads,
// and the X server's share), their peak memory and their ratios (PeerComparison.h).
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/release/bench/ParticleQmlBench [--seconds 10] [--warmup 3]

#include "PeerComparison.h"
#include "items/particleitem.h"
#include "qmlapplicationviewer.h"
#include "zanthapplication.h"

#include "ZTDirector.h"
#include "base_nodes/ZTNode.h"
#include "cocoa/ZTArray.h"
#include "particle_nodes/ZTParticleSystem.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QQuickItem>
#include <QRadialGradient>

#include <fstream>
#include <string>

namespace {

// Emission rate = maxParticles / particleLifespan = 4,000 per second, so 10,000 particles live.
const char* const kEngineQml = R"(import QtQuick 2.15
import Zanth 1.0

GameWindow {
    width: 960
    height: 640
    displayFpsEnabled: false

    Particle {
        x: 480; y: 570
        rotation: -90
        autoStart: true
        textureFileName: "particle32.png"
        maxParticles: 10000
        particleLifespan: 2.5
        speed: 350; speedVariance: 100
        angleVariance: 40
        gravity: Qt.point(0, -200)
        sourcePositionVariance: Qt.point(10, 10)
        startParticleSize: 24; startParticleSizeVariance: 8
        finishParticleSize: -1
        startColor: "#ff9040"; startColorAlpha: 0.8
        startColorVariance: "#808080"; startColorVarianceAlpha: 0
        finishColor: "#ff9040"; finishColorAlpha: 0
        blendFuncSource: Particle.GL_SRC_ALPHA; blendFuncDestination: Particle.GL_ONE_MINUS_SRC_ALPHA
    }
}
)";

const char* const kQtQuickQml = R"(import QtQuick
import QtQuick.Particles

Rectangle {
    width: 960
    height: 640
    color: "black"

    ParticleSystem { id: particles }

    Emitter {
        system: particles
        x: 470; y: 560; width: 20; height: 20
        emitRate: 4000
        lifeSpan: 2500
        size: 24
        sizeVariation: 8
        velocity: AngleDirection { angle: 270; angleVariation: 40; magnitude: 350; magnitudeVariation: 100 }
    }
    ImageParticle {
        system: particles
        source: "particle32.png"
        color: "#ff9040"
        colorVariation: 0.5
        alpha: 0.8
        entryEffect: ImageParticle.Fade
    }
    Gravity { system: particles; magnitude: 200; angle: 90 }
}
)";

// Writes both scenes, their texture (a soft round spot drawn here) and a publish-stage configuration.
void writeScenes(const QString& folder)
{
    QDir().mkpath(folder + "/qml");
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        QRadialGradient gradient(16, 16, 16);
        gradient.setColorAt(0, QColor(255, 255, 255, 255));
        gradient.setColorAt(1, QColor(255, 255, 255, 0));
        painter.setBrush(gradient);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QRectF(0, 0, 32, 32));
    }
    image.save(folder + "/qml/particle32.png", "PNG");
    std::ofstream(QString(folder + "/qml/main.qml").toStdString()) << kEngineQml;
    std::ofstream(QString(folder + "/qml/quick.qml").toStdString()) << kQtQuickQml;
    std::ofstream(QString(folder + "/qml/config.json").toStdString())
        << "{ \"title\": \"Zanth particles benchmark\", \"stage\": \"publish\" }\n";
}

// The live particles of the one emitter, to show that the pool is full (-1 without an emitter).
int liveParticles(ZanthApplication& application)
{
    QQuickItem* root = application.declarativeView()->rootObject();
    auto* item = root ? root->findChild<ParticleItem*>() : nullptr;
    zanth2d::ZTNode* node = item ? item->getZTNode() : nullptr;
    if (!node || node->getChildrenCount() == 0)
        return -1;
    auto* particles = dynamic_cast<zanth2d::ZTParticleSystem*>(node->getChildren()->lastObject());
    return particles ? int(particles->getParticleCount()) : -1;
}

} // namespace

int main(int argc, char** argv)
{
    peers::Side side;
    side.qtQuickFile = "quick.qml";
    side.engineLive = liveParticles;
    // Neither side's particles follow QML's clock (both draw random streams): no screenshots.
    peers::Options options(10, 3);
    options.shots = false;
    return peers::compare(argc, argv, options, side, writeScenes);
}
