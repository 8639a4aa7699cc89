#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

// One short effect file for QML, played through the sound engine's effects. Loading is synchronous:
// a file URL is loaded when it is set. The volume and mute switch are engine-wide (the master gain of
// every effect).
class SoundEffect : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("DefaultMethod", "play()")
    Q_PROPERTY(QUrl source READ source WRITE setSource NOTIFY sourceChanged)
    Q_PROPERTY(int loops READ loopCount WRITE setLoopCount NOTIFY loopCountChanged)
    Q_PROPERTY(qreal volume READ volume WRITE setVolume NOTIFY volumeChanged)
    Q_PROPERTY(bool muted READ isMuted WRITE setMuted NOTIFY mutedChanged)
    Q_PROPERTY(bool playing READ isPlaying NOTIFY playingChanged)
    Q_PROPERTY(Status status READ status NOTIFY statusChanged)

public:
    enum Loop
    {
        Infinite = -2
    };
    Q_ENUM(Loop)
    enum Status
    {
        Null,
        Loading,
        Ready,
        Error
    };
    Q_ENUM(Status)

    explicit SoundEffect(QObject* parent = nullptr);

    // A file URL of the path given to the engine.
    QUrl source() const;
    // Empty: no sound (Null). A file: loaded now, Ready, or Error when it can't be decoded. Any other
    // scheme (a resource included): Error, since effects must be plain files. Relative URLs are taken
    // relative to the object's QML file.
    void setSource(const QUrl& url);
    int loopCount() const { return m_loops; }
    // Infinite (-2), or a count: 0 counts as 1, and any count above 1 loops until stop().
    void setLoopCount(int loopCount);
    qreal volume() const { return m_volume; }
    // Sets the master gain of every effect.
    void setVolume(qreal volume);
    // Whether every effect is silent.
    bool isMuted() const;
    void setMuted(bool muted);
    // Set by play and cleared by stop only; not cleared when a one-shot effect ends.
    bool isPlaying() const { return m_playing; }
    Status status() const { return m_status; }
    bool isLoaded() const { return m_status == Ready; }

public slots:
    void play();
    // Stops this object's last effect, unless another effect has taken its source over since.
    void stop();

signals:
    void sourceChanged();
    void loopCountChanged();
    void volumeChanged();
    void mutedChanged();
    void playingChanged();
    void statusChanged();
    void loadedChanged();

private:
    void setStatus(Status status);
    void setPlaying(bool playing);

    QString m_path;
    int m_loops = 1;
    qreal m_volume = 1.0;
    Status m_status = Null;
    unsigned int m_soundId = 0xFFFFFFFF;
    // The source's play count right after this object's last play: the effect is still ours while
    // the count stays the same.
    unsigned int m_playCount = 0;
    bool m_playing = false;
};
