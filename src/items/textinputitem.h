#pragma once

#include "ztnodeitem.h"

// The generated meta-object code needs the wrapper complete (the item base holds a guarded pointer).
Q_MOC_INCLUDE("scenegraphwrapper.h")

#include <QColor>
#include <QFont>

class QTimer;
class TextFieldDelegateQObject;

namespace zanth2d {
class ZTTextFieldTTF;
}

// A single-line text field drawn by the scene graph: shows placeholderText while the text is empty,
// takes typed text through the scene graph's input-method attachment while the input panel is open,
// and sizes itself to the text unless it was given a larger width. QML type TextInputItem.
class TextInputItem : public ZTNodeItem
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
    Q_PROPERTY(
        QString placeholderText READ placeholderText WRITE setPlaceholderText NOTIFY placeholderTextChanged)
    Q_PROPERTY(QFont font READ font WRITE setFont NOTIFY fontChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(QColor placeholderColor READ placeholderColor WRITE setPlaceholderColor NOTIFY
                   placeholderColorChanged)

public:
    explicit TextInputItem(QQuickItem* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    QString placeholderText() const { return m_placeholderText; }
    void setPlaceholderText(const QString& text);
    QFont font() const { return m_font; }
    // The family is read once, at setup; later changes affect size and colours only.
    void setFont(const QFont& font);
    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    QColor placeholderColor() const { return m_placeholderColor; }
    void setPlaceholderColor(const QColor& color);
    // Null until setup.
    zanth2d::ZTTextFieldTTF* textField() const { return m_textField; }
    // The font name handed to the scene graph for a font: a .ttf family is a file path, a bold weight
    // asks for the family's "-Bold" face.
    static QString sceneGraphFontName(const QFont& font);

    Q_INVOKABLE void openSoftwareInputPanel();
    Q_INVOKABLE void closeSoftwareInputPanel();

signals:
    void textChanged();
    void placeholderTextChanged();
    void fontChanged();
    void colorChanged();
    void placeholderColorChanged();
    void accepted();

private slots:
    void setup();
    void itemSizeChanged();
    void itemOpacityChanged();
    void itemTextInputStarted();
    void itemTextInputFinished(bool ok, const QString& enteredText);
    void itemInsertText(const QString&, int) {}
    void itemDeleteText(const QString&, int) {}
    void itemUpdateText(const QString& enteredText);

private:
    void updateInternalTextData();
    void updateOpacity();
    float pixelSize() const;

    QString m_text;
    QString m_placeholderText;
    QFont m_font;
    QColor m_color{255, 255, 255, 255};
    QColor m_placeholderColor{127, 127, 127, 127};
    zanth2d::ZTTextFieldTTF* m_textField = nullptr;
    TextFieldDelegateQObject* m_delegate = nullptr;
    double m_givenWidth = 0.0;
    double m_givenHeight = 0.0;
    bool m_inputOpen = false;
    bool m_resizing = false;
    QTimer* m_setupTimer;
};
