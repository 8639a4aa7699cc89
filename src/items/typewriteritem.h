#pragma once

#include "ztnodeitem.h"

// The generated meta-object code needs the wrapper complete (the item base holds a guarded pointer).
Q_MOC_INCLUDE("scenegraphwrapper.h")

class QTimer;

// Reveals textSource one character every typeDelay milliseconds in typeWriterText, starting as soon as
// it is set up, and reports the end of the text. QML type TypeWriterItem.
class TypeWriterItem : public ZTNodeItem
{
    Q_OBJECT
    Q_PROPERTY(int typeDelay READ typeDelay WRITE setTypeDelay NOTIFY typeDelayChanged)
    Q_PROPERTY(QString textSource READ textSource WRITE setTextSource NOTIFY textSourceChanged)
    Q_PROPERTY(QString typeWriterText READ typeWriterText NOTIFY typeWriterTextChanged)

public:
    explicit TypeWriterItem(QQuickItem* parent = nullptr);

    int typeDelay() const { return m_typeDelay; }
    // Milliseconds; a running typing timer restarts with the new delay.
    void setTypeDelay(int milliseconds);
    QString textSource() const { return m_textSource; }
    // Typing in progress goes on from its index.
    void setTextSource(const QString& text);
    QString typeWriterText() const { return m_typeWriterText; }

public slots:
    // Before setup each of these only logs that there is no timer yet.
    void start();
    void stop();
    void pause();

signals:
    void typeDelayChanged();
    void textSourceChanged();
    void typeWriterTextChanged();
    void typeWriterFinished();

private slots:
    void updateTypeWriter();
    void setup();

private:
    bool hasTimer() const;

    int m_typeDelay = 100;
    QString m_textSource;
    QString m_typeWriterText;
    int m_index = 0;
    QTimer* m_typingTimer = nullptr;
    QTimer* m_setupTimer;
};
