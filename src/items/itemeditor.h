#pragma once

#include "ztnodeitem.h"

#include <QColor>
#include <QQmlComponent>
#include <QTimer>

// The native base of the property editor (QML type ItemEditorBase): one plain scene-graph node under
// which the editor's frame, pages and widgets are drawn, the components the editor builds its widgets
// from, and the colour channels the colour widget reads.
class ItemEditor : public ZTNodeItem
{
    Q_OBJECT
    Q_PROPERTY(QQmlComponent* contentDelegate READ contentDelegate WRITE setContentDelegate NOTIFY contentDelegateChanged)
    Q_PROPERTY(QQmlComponent* groupDelegate READ groupDelegate WRITE setGroupDelegate NOTIFY groupDelegateChanged)
    Q_PROPERTY(QQmlComponent* boolDelegate READ boolDelegate WRITE setBoolDelegate NOTIFY boolDelegateChanged)
    Q_PROPERTY(QQmlComponent* numberDelegate READ numberDelegate WRITE setNumberDelegate NOTIFY numberDelegateChanged)
    Q_PROPERTY(QQmlComponent* stringDelegate READ stringDelegate WRITE setStringDelegate NOTIFY stringDelegateChanged)
    Q_PROPERTY(QQmlComponent* pointDelegate READ pointDelegate WRITE setPointDelegate NOTIFY pointDelegateChanged)
    Q_PROPERTY(QQmlComponent* colorDelegate READ colorDelegate WRITE setColorDelegate NOTIFY colorDelegateChanged)
    Q_PROPERTY(QQmlComponent* textureDelegate READ textureDelegate WRITE setTextureDelegate NOTIFY textureDelegateChanged)
    Q_PROPERTY(QQmlComponent* arrayDelegate READ arrayDelegate WRITE setArrayDelegate NOTIFY arrayDelegateChanged)

public:
    explicit ItemEditor(QQuickItem* parent = nullptr);

    QQmlComponent* contentDelegate() const { return m_contentDelegate; }
    QQmlComponent* groupDelegate() const { return m_groupDelegate; }
    QQmlComponent* boolDelegate() const { return m_boolDelegate; }
    QQmlComponent* numberDelegate() const { return m_numberDelegate; }
    QQmlComponent* stringDelegate() const { return m_stringDelegate; }
    QQmlComponent* pointDelegate() const { return m_pointDelegate; }
    QQmlComponent* colorDelegate() const { return m_colorDelegate; }
    QQmlComponent* textureDelegate() const { return m_textureDelegate; }
    QQmlComponent* arrayDelegate() const { return m_arrayDelegate; }
    void setContentDelegate(QQmlComponent* component);
    void setGroupDelegate(QQmlComponent* component);
    void setBoolDelegate(QQmlComponent* component);
    void setNumberDelegate(QQmlComponent* component);
    void setStringDelegate(QQmlComponent* component);
    void setPointDelegate(QQmlComponent* component);
    void setColorDelegate(QQmlComponent* component);
    void setTextureDelegate(QQmlComponent* component);
    void setArrayDelegate(QQmlComponent* component);

public slots:
    // A channel of the colour as a real in 0..1.
    qreal readColorPropertyWithRed(const QColor& color) const { return color.redF(); }
    qreal readColorPropertyWithGreen(const QColor& color) const { return color.greenF(); }
    qreal readColorPropertyWithBlue(const QColor& color) const { return color.blueF(); }
    qreal readColorPropertyWithAlpha(const QColor& color) const { return color.alphaF(); }

signals:
    void contentDelegateChanged();
    void groupDelegateChanged();
    void boolDelegateChanged();
    void numberDelegateChanged();
    void stringDelegateChanged();
    void pointDelegateChanged();
    void colorDelegateChanged();
    void textureDelegateChanged();
    void arrayDelegateChanged();

private slots:
    void setup();

private:
    QTimer m_setupTimer;
    QQmlComponent* m_contentDelegate = nullptr;
    QQmlComponent* m_groupDelegate = nullptr;
    QQmlComponent* m_boolDelegate = nullptr;
    QQmlComponent* m_numberDelegate = nullptr;
    QQmlComponent* m_stringDelegate = nullptr;
    QQmlComponent* m_pointDelegate = nullptr;
    QQmlComponent* m_colorDelegate = nullptr;
    QQmlComponent* m_textureDelegate = nullptr;
    QQmlComponent* m_arrayDelegate = nullptr;
};
