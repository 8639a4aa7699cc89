#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QQuickView;

// The desktop services QML can't reach by itself: modal text-input and message dialogs, opening URLs,
// composing e-mail, clearing caches. Published to QML as the context object nativeUtils. Dialog results
// come back as signals, emitted before the slot returns.
class NativeUtils : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool displaySleepEnabled READ displaySleepEnabled WRITE setDisplaySleepEnabled NOTIFY displaySleepEnabledChanged)

public:
    // view hosts the QML scene; its items take no input while a dialog is open. It may be null.
    explicit NativeUtils(QQuickView* view, QObject* parent = nullptr);

    bool displaySleepEnabled() const { return m_displaySleepEnabled; }
    // Stored only: the desktop has no display sleep switch for us.
    void setDisplaySleepEnabled(bool enabled);

    // The text field's delegate (taken over as a child) reports its finished input through
    // textInputFinished, like the dialog does. It must have a signal textInputFinished(bool, QString).
    void setTextFieldDelegate(QObject* delegate);
    // The scene graph's cache purge (unused sprite frames, unused sprite batch nodes, the director's
    // cached data, in that order); without one clearSceneGraphTextureCache does nothing.
    void setSceneGraphCacheClearer(std::function<void()> clearer);

public slots:
    // Modal; the initial text is text, or placeholder when text is empty.
    void displayTextInput(const QString& title, const QString& description, const QString& placeholder = QString(),
                          const QString& text = QString());
    // Modal; Ok and Cancel when bit value 2 is set in buttons, else Ok alone.
    void displayMessageBox(const QString& title, const QString& description = QString(), int buttons = 1);
    void openUrl(const QString& urlString);
    // Hands a mailto: URL with the percent-encoded subject and body (each left out when empty) to the
    // desktop's mail program.
    void sendEmail(const QString& to, const QString& subject = QString(), const QString& message = QString());
    // Changed QML files are read again the next time they are loaded.
    void clearComponentCache();
    void clearSceneGraphTextureCache();
    // Desktops don't vibrate; the slot exists so that shared QML can call it.
    void vibrate();

signals:
    void displaySleepEnabledChanged(bool enabled);
    void textInputFinished(bool accepted, const QString& enteredText);
    void messageBoxFinished(bool accepted);

private:
    void setViewInputEnabled(bool enabled);

    QQuickView* m_view;
    std::function<void()> m_sceneGraphCacheClearer;
    bool m_displaySleepEnabled = false;
};
