#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

// The background music channel for QML: one file, always looping. Only one music plays in the engine:
// while another Audio's music plays, play() does nothing. The volume and mute switch belong to the
// music channel, whoever plays on it; destroying any Audio stops the music.
class Audio : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QUrl source READ source WRITE setSource NOTIFY sourceChanged)
    Q_PROPERTY(qreal volume READ volume WRITE setVolume NOTIFY volumeChanged)
    Q_PROPERTY(bool muted READ isMuted WRITE setMuted NOTIFY mutedChanged)
    Q_PROPERTY(bool playing READ isPlaying NOTIFY playingChanged)
    Q_PROPERTY(bool autoLoad READ isAutoLoad WRITE setAutoLoad NOTIFY autoLoadChanged)
    Q_PROPERTY(bool paused READ isPaused WRITE setPaused NOTIFY pausedChanged)
    Q_PROPERTY(Status status READ status NOTIFY statusChanged)

public:
    enum Status
    {
        Null,
        Loading,
        Ready,
        Error
    };
    Q_ENUM(Status)

    explicit Audio(QObject* parent = nullptr);
    ~Audio() override;

    // A file URL of the path given to the engine.
    QUrl source() const;
    // Empty: no music (Null). A file: preloaded when autoLoad is set, Ready, or Error when it can't be
    // opened; music playing from here restarts with the new file. Any other scheme: Error, with a
    // warning. Losing the source stops the music this object plays. Relative URLs are taken relative
    // to the object's QML file.
    void setSource(const QUrl& url);
    qreal volume() const { return m_volume; }
    void setVolume(qreal volume);
    bool isMuted() const;
    void setMuted(bool muted);
    // Set only once music really plays.
    bool isPlaying() const { return m_playing; }
    bool isAutoLoad() const { return m_autoLoad; }
    void setAutoLoad(bool autoLoad);
    bool isPaused() const { return m_paused; }
    // Pauses or resumes the music this object plays.
    void setPaused(bool paused);
    Status status() const { return m_status; }

public slots:
    // Starts the music, or continues it where it was paused.
    void play();
    void pause();
    void stop();

signals:
    void sourceChanged();
    void volumeChanged();
    void mutedChanged();
    void playingChanged();
    void autoLoadChanged();
    void pausedChanged();
    void statusChanged();
    void loadedChanged();
    void started();
    void resumed();
    void paused();
    void stopped();

private:
    void setStatus(Status status);
    // Starts the engine's music with this object's file; false when it does not sound.
    bool startMusic();

    QString m_path;
    qreal m_volume = 1.0;
    Status m_status = Null;
    bool m_playing = false;
    bool m_autoLoad = true;
    bool m_paused = false;
};
