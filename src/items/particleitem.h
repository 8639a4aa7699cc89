#pragma once

#include "scenegraphwrapper.h" // complete for the base's QPointer
#include "ztnodeitem.h"

#include <QColor>
#include <QMap>
#include <QPointF>
#include <QTimer>
#include <QUrl>

namespace zanth2d {
class ZTParticleSystem;
}

// QML names the blend factors as GL does; GL's own macros must not replace them here.
#pragma push_macro("GL_ZERO")
#undef GL_ZERO
#pragma push_macro("GL_ONE")
#undef GL_ONE
#pragma push_macro("GL_SRC_COLOR")
#undef GL_SRC_COLOR
#pragma push_macro("GL_ONE_MINUS_SRC_COLOR")
#undef GL_ONE_MINUS_SRC_COLOR
#pragma push_macro("GL_SRC_ALPHA")
#undef GL_SRC_ALPHA
#pragma push_macro("GL_ONE_MINUS_SRC_ALPHA")
#undef GL_ONE_MINUS_SRC_ALPHA
#pragma push_macro("GL_DST_ALPHA")
#undef GL_DST_ALPHA
#pragma push_macro("GL_ONE_MINUS_DST_ALPHA")
#undef GL_ONE_MINUS_DST_ALPHA
#pragma push_macro("GL_DST_COLOR")
#undef GL_DST_COLOR
#pragma push_macro("GL_ONE_MINUS_DST_COLOR")
#undef GL_ONE_MINUS_DST_COLOR
#pragma push_macro("GL_SRC_ALPHA_SATURATE")
#undef GL_SRC_ALPHA_SATURATE

// One live particle effect: the QML type Particle. The item's node holds exactly one emitter, built
// from the item's properties once setup ran (and only while the window settings allow particles) and
// rebuilt when the pool size or the effect file changes. Every property change reaches the live emitter
// at once, which is how the editor edits a running effect.
//
// Values assigned from QML, bindings or the editor are remembered by name and win over the values of
// an effect file loaded later (fileName); the file sets only the others. A finite effect clears running
// once it has played out. Units are the emitter's: points, degrees, seconds; duration 0 is infinite.
class ParticleItem : public ZTNodeItem
{
    Q_OBJECT
    Q_PROPERTY(QPointF gravity READ gravity WRITE setGravity NOTIFY gravityChanged)
    Q_PROPERTY(qreal speed READ speed WRITE setSpeed NOTIFY speedChanged)
    Q_PROPERTY(qreal speedVariance READ speedVariance WRITE setSpeedVariance NOTIFY speedVarianceChanged)
    Q_PROPERTY(qreal radialAcceleration READ radialAcceleration WRITE setRadialAcceleration NOTIFY
                   radialAccelerationChanged)
    Q_PROPERTY(qreal radialAccelVariance READ radialAccelVariance WRITE setRadialAccelVariance NOTIFY
                   radialAccelVarianceChanged)
    Q_PROPERTY(qreal tangentialAcceleration READ tangentialAcceleration WRITE setTangentialAcceleration NOTIFY
                   tangentialAccelerationChanged)
    Q_PROPERTY(qreal tangentialAccelVariance READ tangentialAccelVariance WRITE setTangentialAccelVariance
                   NOTIFY tangentialAccelVarianceChanged)
    Q_PROPERTY(
        qreal rotatePerSecond READ rotatePerSecond WRITE setRotatePerSecond NOTIFY rotatePerSecondChanged)
    Q_PROPERTY(qreal rotatePerSecondVariance READ rotatePerSecondVariance WRITE setRotatePerSecondVariance
                   NOTIFY rotatePerSecondVarianceChanged)
    Q_PROPERTY(qreal minRadius READ minRadius WRITE setMinRadius NOTIFY minRadiusChanged)
    Q_PROPERTY(qreal minRadiusVariance READ minRadiusVariance WRITE setMinRadiusVariance NOTIFY
                   minRadiusVarianceChanged)
    Q_PROPERTY(qreal maxRadius READ maxRadius WRITE setMaxRadius NOTIFY maxRadiusChanged)
    Q_PROPERTY(qreal maxRadiusVariance READ maxRadiusVariance WRITE setMaxRadiusVariance NOTIFY
                   maxRadiusVarianceChanged)
    Q_PROPERTY(qreal emissionRate READ emissionRate WRITE setEmissionRate NOTIFY emissionRateChanged)
    Q_PROPERTY(qreal maxParticles READ maxParticlesReal WRITE setMaxParticlesReal NOTIFY maxParticlesChanged)
    Q_PROPERTY(
        qreal particleLifespan READ particleLifespan WRITE setParticleLifespan NOTIFY particleLifespanChanged)
    Q_PROPERTY(qreal particleLifespanVariance READ particleLifespanVariance WRITE setParticleLifespanVariance
                   NOTIFY particleLifespanVarianceChanged)
    Q_PROPERTY(qreal duration READ duration WRITE setDuration NOTIFY durationChanged)
    Q_PROPERTY(qreal blendFuncSource READ blendFuncSourceReal WRITE setBlendFuncSourceReal NOTIFY
                   blendFuncSourceChanged)
    Q_PROPERTY(qreal blendFuncDestination READ blendFuncDestinationReal WRITE setBlendFuncDestinationReal
                   NOTIFY blendFuncDestinationChanged)
    Q_PROPERTY(QColor startColor READ startColor WRITE setStartColor NOTIFY startColorChanged)
    Q_PROPERTY(
        qreal startColorAlpha READ startColorAlpha WRITE setStartColorAlpha NOTIFY startColorAlphaChanged)
    Q_PROPERTY(QColor startColorVariance READ startColorVariance WRITE setStartColorVariance NOTIFY
                   startColorVarianceChanged)
    Q_PROPERTY(qreal startColorVarianceAlpha READ startColorVarianceAlpha WRITE setStartColorVarianceAlpha
                   NOTIFY startColorVarianceAlphaChanged)
    Q_PROPERTY(QColor finishColor READ finishColor WRITE setFinishColor NOTIFY finishColorChanged)
    Q_PROPERTY(
        qreal finishColorAlpha READ finishColorAlpha WRITE setFinishColorAlpha NOTIFY finishColorAlphaChanged)
    Q_PROPERTY(QColor finishColorVariance READ finishColorVariance WRITE setFinishColorVariance NOTIFY
                   finishColorVarianceChanged)
    Q_PROPERTY(qreal finishColorVarianceAlpha READ finishColorVarianceAlpha WRITE setFinishColorVarianceAlpha
                   NOTIFY finishColorVarianceAlphaChanged)
    Q_PROPERTY(qreal startParticleSize READ startParticleSize WRITE setStartParticleSize NOTIFY
                   startParticleSizeChanged)
    Q_PROPERTY(qreal startParticleSizeVariance READ startParticleSizeVariance WRITE
                   setStartParticleSizeVariance NOTIFY startParticleSizeVarianceChanged)
    Q_PROPERTY(qreal finishParticleSize READ finishParticleSize WRITE setFinishParticleSize NOTIFY
                   finishParticleSizeChanged)
    Q_PROPERTY(qreal finishParticleSizeVariance READ finishParticleSizeVariance WRITE
                   setFinishParticleSizeVariance NOTIFY finishParticleSizeVarianceChanged)
    Q_PROPERTY(QPointF sourcePositionVariance READ sourcePositionVariance WRITE setSourcePositionVariance
                   NOTIFY sourcePositionVarianceChanged)
    Q_PROPERTY(qreal angleVariance READ angleVariance WRITE setAngleVariance NOTIFY angleVarianceChanged)
    Q_PROPERTY(qreal rotationStart READ rotationStart WRITE setRotationStart NOTIFY rotationStartChanged)
    Q_PROPERTY(qreal rotationStartVariance READ rotationStartVariance WRITE setRotationStartVariance NOTIFY
                   rotationStartVarianceChanged)
    Q_PROPERTY(qreal rotationEnd READ rotationEnd WRITE setRotationEnd NOTIFY rotationEndChanged)
    Q_PROPERTY(qreal rotationEndVariance READ rotationEndVariance WRITE setRotationEndVariance NOTIFY
                   rotationEndVarianceChanged)
    Q_PROPERTY(
        QUrl textureFileName READ textureFileName WRITE setTextureFileName NOTIFY textureFileNameChanged)
    Q_PROPERTY(int positionType READ positionType WRITE setPositionType NOTIFY positionTypeChanged)
    Q_PROPERTY(int emitterType READ emitterType WRITE setEmitterType NOTIFY emitterTypeChanged)
    Q_PROPERTY(QUrl fileName READ fileName WRITE setFileName NOTIFY fileNameChanged)
    Q_PROPERTY(bool autoStart READ autoStart WRITE setAutoStart NOTIFY autoStartChanged)
    Q_PROPERTY(bool running READ running WRITE setRunning NOTIFY runningChanged)

public:
    enum PositionType
    {
        Free = 0,
        Relative = 1,
        Grouped = 2
    };
    Q_ENUM(PositionType)
    enum EmitterType
    {
        Gravity = 0,
        Radius = 1
    };
    Q_ENUM(EmitterType)
    enum Duration
    {
        Infinite = 0
    };
    Q_ENUM(Duration)
    enum BlendFunction
    {
        GL_ZERO = 0,
        GL_ONE = 1,
        GL_SRC_COLOR = 768,
        GL_ONE_MINUS_SRC_COLOR = 769,
        GL_SRC_ALPHA = 770,
        GL_ONE_MINUS_SRC_ALPHA = 771,
        GL_DST_ALPHA = 772,
        GL_ONE_MINUS_DST_ALPHA = 773,
        GL_DST_COLOR = 774,
        GL_ONE_MINUS_DST_COLOR = 775,
        GL_SRC_ALPHA_SATURATE = 776
    };
    Q_ENUM(BlendFunction)

    explicit ParticleItem(QQuickItem* parent = nullptr);

    QPointF gravity() const { return m_gravity; }
    void setGravity(const QPointF& value);
    qreal speed() const { return m_speed; }
    void setSpeed(qreal value);
    qreal speedVariance() const { return m_speedVariance; }
    void setSpeedVariance(qreal value);
    qreal radialAcceleration() const { return m_radialAcceleration; }
    void setRadialAcceleration(qreal value);
    qreal radialAccelVariance() const { return m_radialAccelVariance; }
    void setRadialAccelVariance(qreal value);
    qreal tangentialAcceleration() const { return m_tangentialAcceleration; }
    void setTangentialAcceleration(qreal value);
    qreal tangentialAccelVariance() const { return m_tangentialAccelVariance; }
    void setTangentialAccelVariance(qreal value);
    qreal rotatePerSecond() const { return m_rotatePerSecond; }
    void setRotatePerSecond(qreal value);
    qreal rotatePerSecondVariance() const { return m_rotatePerSecondVariance; }
    void setRotatePerSecondVariance(qreal value);
    // The radius at birth (radius mode).
    qreal minRadius() const { return m_minRadius; }
    void setMinRadius(qreal value);
    qreal minRadiusVariance() const { return m_minRadiusVariance; }
    void setMinRadiusVariance(qreal value);
    // The radius at death (radius mode); -1 keeps the radius at birth.
    qreal maxRadius() const { return m_maxRadius; }
    void setMaxRadius(qreal value);
    qreal maxRadiusVariance() const { return m_maxRadiusVariance; }
    void setMaxRadiusVariance(qreal value);
    // Particles per second; follows maxParticles / particleLifespan whenever either changes.
    qreal emissionRate() const { return m_emissionRate; }
    void setEmissionRate(qreal value);
    // The pool size; a new value replaces the live emitter. Values outside 0 to the emitter's largest
    // pool leave the item without an emitter (one log line).
    int maxParticles() const { return m_maxParticles; }
    void setMaxParticles(int value);
    qreal particleLifespan() const { return m_particleLifespan; }
    void setParticleLifespan(qreal value);
    qreal particleLifespanVariance() const { return m_particleLifespanVariance; }
    void setParticleLifespanVariance(qreal value);
    // Seconds of emission; 0 (Infinite) emits forever.
    qreal duration() const { return m_duration; }
    void setDuration(qreal value);
    // GL blend factors; 0 stands for the emitter's default and is replaced when the emitter is built.
    int blendFuncSource() const { return m_blendFuncSource; }
    void setBlendFuncSource(int value);
    int blendFuncDestination() const { return m_blendFuncDestination; }
    void setBlendFuncDestination(int value);
    QColor startColor() const { return m_startColor; }
    void setStartColor(const QColor& value);
    qreal startColorAlpha() const { return m_startColor.alphaF(); }
    void setStartColorAlpha(qreal alpha);
    QColor startColorVariance() const { return m_startColorVariance; }
    void setStartColorVariance(const QColor& value);
    qreal startColorVarianceAlpha() const { return m_startColorVariance.alphaF(); }
    void setStartColorVarianceAlpha(qreal alpha);
    QColor finishColor() const { return m_finishColor; }
    void setFinishColor(const QColor& value);
    qreal finishColorAlpha() const { return m_finishColor.alphaF(); }
    void setFinishColorAlpha(qreal alpha);
    QColor finishColorVariance() const { return m_finishColorVariance; }
    void setFinishColorVariance(const QColor& value);
    qreal finishColorVarianceAlpha() const { return m_finishColorVariance.alphaF(); }
    void setFinishColorVarianceAlpha(qreal alpha);
    qreal startParticleSize() const { return m_startParticleSize; }
    void setStartParticleSize(qreal value);
    qreal startParticleSizeVariance() const { return m_startParticleSizeVariance; }
    void setStartParticleSizeVariance(qreal value);
    // -1 keeps the start size.
    qreal finishParticleSize() const { return m_finishParticleSize; }
    void setFinishParticleSize(qreal value);
    qreal finishParticleSizeVariance() const { return m_finishParticleSizeVariance; }
    void setFinishParticleSizeVariance(qreal value);
    QPointF sourcePositionVariance() const { return m_sourcePositionVariance; }
    void setSourcePositionVariance(const QPointF& value);
    qreal angleVariance() const { return m_angleVariance; }
    void setAngleVariance(qreal value);
    qreal rotationStart() const { return m_rotationStart; }
    void setRotationStart(qreal value);
    qreal rotationStartVariance() const { return m_rotationStartVariance; }
    void setRotationStartVariance(qreal value);
    qreal rotationEnd() const { return m_rotationEnd; }
    void setRotationEnd(qreal value);
    qreal rotationEndVariance() const { return m_rotationEndVariance; }
    void setRotationEndVariance(qreal value);
    // A URL that does not load keeps the emitter's previous texture.
    QUrl textureFileName() const { return m_textureFileName; }
    void setTextureFileName(const QUrl& value);
    int positionType() const { return m_positionType; }
    void setPositionType(int value);
    int emitterType() const { return m_emitterType; }
    void setEmitterType(int value);
    // An effect file (JSON); once setup ran a new file is loaded and the emitter rebuilt.
    QUrl fileName() const { return m_fileName; }
    void setFileName(const QUrl& value);
    bool autoStart() const { return m_autoStart; }
    void setAutoStart(bool value);
    bool running() const { return m_running; }
    void setRunning(bool value);

    // Loads fileName into the properties that were not assigned outside a load; builds nothing.
    void createParticlesFromFile();

public slots:
    void start();
    void stop();
    // Removes the emitter and all its particles at once; the next start builds a new one.
    void stopLivingParticles();
    // Writes the live emitter as a particle property list that stands alone (texture embedded). False,
    // with one log line, when there is no emitter or the file can't be written; the previous file at
    // that path is then left as it was.
    bool saveAsPList(const QUrl& file);

signals:
    void gravityChanged();
    void speedChanged();
    void speedVarianceChanged();
    void radialAccelerationChanged();
    void radialAccelVarianceChanged();
    void tangentialAccelerationChanged();
    void tangentialAccelVarianceChanged();
    void rotatePerSecondChanged();
    void rotatePerSecondVarianceChanged();
    void minRadiusChanged();
    void minRadiusVarianceChanged();
    void maxRadiusChanged();
    void maxRadiusVarianceChanged();
    void emissionRateChanged();
    void maxParticlesChanged();
    void particleLifespanChanged();
    void particleLifespanVarianceChanged();
    void durationChanged();
    void blendFuncSourceChanged();
    void blendFuncDestinationChanged();
    void startColorChanged();
    void startColorAlphaChanged();
    void startColorVarianceChanged();
    void startColorVarianceAlphaChanged();
    void finishColorChanged();
    void finishColorAlphaChanged();
    void finishColorVarianceChanged();
    void finishColorVarianceAlphaChanged();
    void startParticleSizeChanged();
    void startParticleSizeVarianceChanged();
    void finishParticleSizeChanged();
    void finishParticleSizeVarianceChanged();
    void sourcePositionVarianceChanged();
    void angleVarianceChanged();
    void rotationStartChanged();
    void rotationStartVarianceChanged();
    void rotationEndChanged();
    void rotationEndVarianceChanged();
    void textureFileNameChanged();
    void positionTypeChanged();
    void emitterTypeChanged();
    void fileNameChanged();
    void autoStartChanged();
    void runningChanged();

protected:
    void componentComplete() override;

private slots:
    void enableStatusChanged();
    void setup();
    void oneShotFinished();

private:
    // Records name outside a file load (and allows it); during a load refuses the names recorded before.
    bool isSetAllowed(const QString& name);
    // A new autoreleased emitter from the properties, or null (no texture, or a pool it can't have).
    zanth2d::ZTParticleSystem* createParticlesFromObject();
    // The node's emitter, or null.
    zanth2d::ZTParticleSystem* emitter() const;
    void removeEmitter();
    void armOneShotTimer(int milliseconds);

    // The gated setter steps for one property: store, push to a live emitter, signal.
    template <typename T, typename Push>
    void setGated(const char* name, T& field, const T& value, void (ParticleItem::*changed)(), Push push);

    qreal maxParticlesReal() const { return m_maxParticles; }
    void setMaxParticlesReal(qreal value);
    qreal blendFuncSourceReal() const { return m_blendFuncSource; }
    void setBlendFuncSourceReal(qreal value);
    qreal blendFuncDestinationReal() const { return m_blendFuncDestination; }
    void setBlendFuncDestinationReal(qreal value);
    void recordGeometryName(const char* name);

    QPointF m_gravity;
    qreal m_speed = 0;
    qreal m_speedVariance = 0;
    qreal m_radialAcceleration = 0;
    qreal m_radialAccelVariance = 0;
    qreal m_tangentialAcceleration = 0;
    qreal m_tangentialAccelVariance = 0;
    qreal m_rotatePerSecond = 0;
    qreal m_rotatePerSecondVariance = 0;
    qreal m_minRadius = 0;
    qreal m_minRadiusVariance = 0;
    qreal m_maxRadius = 0;
    qreal m_maxRadiusVariance = 0;
    qreal m_emissionRate = 0;
    int m_maxParticles = 0;
    qreal m_particleLifespan = 0;
    qreal m_particleLifespanVariance = 0;
    qreal m_duration = 0;
    int m_blendFuncSource = GL_ONE;
    int m_blendFuncDestination = GL_ONE_MINUS_SRC_ALPHA;
    QColor m_startColor = QColor(0, 0, 0, 0);
    QColor m_startColorVariance = QColor(0, 0, 0, 0);
    QColor m_finishColor = QColor(0, 0, 0, 0);
    QColor m_finishColorVariance = QColor(0, 0, 0, 0);
    qreal m_startParticleSize = 0;
    qreal m_startParticleSizeVariance = 0;
    qreal m_finishParticleSize = 0;
    qreal m_finishParticleSizeVariance = 0;
    QPointF m_sourcePositionVariance;
    qreal m_angleVariance = 0;
    qreal m_rotationStart = 0;
    qreal m_rotationStartVariance = 0;
    qreal m_rotationEnd = 0;
    qreal m_rotationEndVariance = 0;
    QUrl m_textureFileName;
    int m_positionType = 0;
    int m_emitterType = 0;
    QUrl m_fileName;
    bool m_autoStart = false;
    bool m_running = false;

    QTimer m_setupTimer;
    QTimer m_oneShotTimer;
    bool m_loading = false;
    bool m_setupDone = false;
    QMap<QString, bool> m_setAllowed;
    bool m_particlesEnabled = false;
};

#pragma pop_macro("GL_ZERO")
#pragma pop_macro("GL_ONE")
#pragma pop_macro("GL_SRC_COLOR")
#pragma pop_macro("GL_ONE_MINUS_SRC_COLOR")
#pragma pop_macro("GL_SRC_ALPHA")
#pragma pop_macro("GL_ONE_MINUS_SRC_ALPHA")
#pragma pop_macro("GL_DST_ALPHA")
#pragma pop_macro("GL_ONE_MINUS_DST_ALPHA")
#pragma pop_macro("GL_DST_COLOR")
#pragma pop_macro("GL_ONE_MINUS_DST_COLOR")
#pragma pop_macro("GL_SRC_ALPHA_SATURATE")
