#pragma once

#include "scenegraphwrapper.h" // complete for the base's QPointer
#include "ztnodeitem.h"
#include "ztparticleproperty.h"

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

// The declarations each row of ZT_PARTICLE_PROPERTIES makes in the item, by kind. Whole numbers (the pool
// size, blend factors) are reals in QML and truncated when written.
#define ZT_PARTICLE_ITEM_PROPERTY(Kind, name, Setter, Setting, Default)                                      \
    ZT_PARTICLE_ITEM_PROPERTY_##Kind(name, Setter)
#define ZT_PARTICLE_ITEM_PLAIN_PROPERTY(Type, name, Setter)                                                  \
    Q_PROPERTY(Type name READ name WRITE set##Setter NOTIFY name##Changed)
#define ZT_PARTICLE_ITEM_WHOLE_PROPERTY(name, Setter)                                                        \
    Q_PROPERTY(qreal name READ name##Real WRITE set##Setter##Real NOTIFY name##Changed)
#define ZT_PARTICLE_ITEM_PROPERTY_Real(name, Setter) ZT_PARTICLE_ITEM_PLAIN_PROPERTY(qreal, name, Setter)
#define ZT_PARTICLE_ITEM_PROPERTY_Duration(name, Setter) ZT_PARTICLE_ITEM_PLAIN_PROPERTY(qreal, name, Setter)
#define ZT_PARTICLE_ITEM_PROPERTY_Enum(name, Setter) ZT_PARTICLE_ITEM_PLAIN_PROPERTY(int, name, Setter)
#define ZT_PARTICLE_ITEM_PROPERTY_Point(name, Setter) ZT_PARTICLE_ITEM_PLAIN_PROPERTY(QPointF, name, Setter)
#define ZT_PARTICLE_ITEM_PROPERTY_Url(name, Setter) ZT_PARTICLE_ITEM_PLAIN_PROPERTY(QUrl, name, Setter)
#define ZT_PARTICLE_ITEM_PROPERTY_Count(name, Setter) ZT_PARTICLE_ITEM_WHOLE_PROPERTY(name, Setter)
#define ZT_PARTICLE_ITEM_PROPERTY_Factor(name, Setter) ZT_PARTICLE_ITEM_WHOLE_PROPERTY(name, Setter)
#define ZT_PARTICLE_ITEM_PROPERTY_Color(name, Setter)                                                        \
    ZT_PARTICLE_ITEM_PLAIN_PROPERTY(QColor, name, Setter)                                                    \
    Q_PROPERTY(qreal name##Alpha READ name##Alpha WRITE set##Setter##Alpha NOTIFY name##AlphaChanged)

#define ZT_PARTICLE_ITEM_ACCESSORS(Kind, name, Setter, Setting, Default)                                     \
    ZT_PARTICLE_STORED_##Kind name() const                                                                   \
    {                                                                                                        \
        return m_##name;                                                                                     \
    }                                                                                                        \
    void set##Setter(const ZT_PARTICLE_STORED_##Kind& value);                                                \
    ZT_PARTICLE_ITEM_ACCESSORS_##Kind(name, Setter)
#define ZT_PARTICLE_ITEM_ACCESSORS_Real(name, Setter)
#define ZT_PARTICLE_ITEM_ACCESSORS_Duration(name, Setter)
#define ZT_PARTICLE_ITEM_ACCESSORS_Enum(name, Setter)
#define ZT_PARTICLE_ITEM_ACCESSORS_Point(name, Setter)
#define ZT_PARTICLE_ITEM_ACCESSORS_Url(name, Setter)
#define ZT_PARTICLE_ITEM_ACCESSORS_Count(name, Setter)                                                       \
    qreal name##Real() const                                                                                 \
    {                                                                                                        \
        return m_##name;                                                                                     \
    }                                                                                                        \
    void set##Setter##Real(qreal value);
#define ZT_PARTICLE_ITEM_ACCESSORS_Factor(name, Setter) ZT_PARTICLE_ITEM_ACCESSORS_Count(name, Setter)
#define ZT_PARTICLE_ITEM_ACCESSORS_Color(name, Setter)                                                       \
    qreal name##Alpha() const                                                                                \
    {                                                                                                        \
        return m_##name.alphaF();                                                                            \
    }                                                                                                        \
    void set##Setter##Alpha(qreal alpha);

#define ZT_PARTICLE_ITEM_SIGNALS(Kind, name, Setter, Setting, Default)                                       \
    void name##Changed();                                                                                    \
    ZT_PARTICLE_ITEM_SIGNALS_##Kind(name)
#define ZT_PARTICLE_ITEM_SIGNALS_Real(name)
#define ZT_PARTICLE_ITEM_SIGNALS_Duration(name)
#define ZT_PARTICLE_ITEM_SIGNALS_Enum(name)
#define ZT_PARTICLE_ITEM_SIGNALS_Point(name)
#define ZT_PARTICLE_ITEM_SIGNALS_Url(name)
#define ZT_PARTICLE_ITEM_SIGNALS_Count(name)
#define ZT_PARTICLE_ITEM_SIGNALS_Factor(name)
#define ZT_PARTICLE_ITEM_SIGNALS_Color(name) void name##AlphaChanged();

#define ZT_PARTICLE_ITEM_FIELD(Kind, name, Setter, Setting, Default)                                         \
    ZT_PARTICLE_STORED_##Kind m_##name = ZT_PARTICLE_STORED_##Kind(Default);

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
    ZT_PARTICLE_PROPERTIES(ZT_PARTICLE_ITEM_PROPERTY)
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

    // Getters and setters of the emitter's properties (ztparticleproperty.h), e.g. speed() and setSpeed(); a
    // colour's alpha has its own pair (startColorAlpha()). Units are the emitter's; minRadius is the radius
    // at birth (radius mode), maxRadius the radius at death (-1 keeps the radius at birth),
    // finishParticleSize -1 keeps the start size. emissionRate follows maxParticles / particleLifespan
    // whenever either changes, except that a declared or assigned emissionRate wins over the rate the
    // other declarations and later file loads derive. A new maxParticles replaces the live emitter; one
    // outside 0 to the emitter's largest pool leaves the item without an emitter (one log line). Blend
    // factors of 0 stand for the emitter's defaults and are replaced when the emitter is built. A
    // textureFileName that does not load keeps the emitter's texture.
    ZT_PARTICLE_PROPERTIES(ZT_PARTICLE_ITEM_ACCESSORS)

    // An effect file (JSON), loaded as soon as the item is complete; once setup ran a new file also
    // rebuilds the emitter. A "fileName" inside the file is not followed.
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
    // Writes the effect as an effect file that travels: group is its entry (the file's name without
    // ".json" when empty) and values the property values to write (this item's own when empty). Whole numbers
    // are written without a decimal point and the texture as a name beside the file, copied there when it
    // is not there yet. False, with one log line, when nothing was written.
    bool saveAsEffect(const QUrl& file, const QString& group = QString(), const QVariantMap& values = {});
    // The text saveAsEffect writes, the texture named by its file name alone.
    QString effectText(const QString& group, const QVariantMap& values = {}) const;

signals:
    ZT_PARTICLE_PROPERTIES(ZT_PARTICLE_ITEM_SIGNALS)
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

    // The setter steps for one property: the gate, store, push to a live emitter, signal.
    template <typename T>
    void assign(ZTParticleProperty::Id id, T& field, const T& value, void (ParticleItem::*changed)());
    // Sends one property's value to the live emitter.
    void pushToEmitter(const ZTParticleProperty& property);
    // The value of a property as the emitter takes it.
    zanth2d::ZTParticleValue emitterValue(const ZTParticleProperty& property) const;
    void followEmissionRate();
    // values, or the item's own values of every effect-file key when it is empty.
    QVariantMap effectValues(const QVariantMap& values) const;
    void recordGeometryName(const char* name);

    ZT_PARTICLE_PROPERTIES(ZT_PARTICLE_ITEM_FIELD)
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
