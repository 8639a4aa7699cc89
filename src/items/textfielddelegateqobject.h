#pragma once

#include "text_input_node/ZTTextFieldDelegate.h"

#include <QObject>
#include <QString>

// Turns the callbacks of a scene-graph text field into Qt signals, so that QML items and services can
// follow what is typed into it. The text field holds a plain pointer to it and must not outlive it.
class TextFieldDelegateQObject : public QObject, public zanth2d::ZTTextFieldDelegate
{
    Q_OBJECT

public:
    // With removeOnDetach the field leaves its parent node when its input ends.
    TextFieldDelegateQObject(QObject* parent, bool removeOnDetach);

    // Each returns false: attaching, detaching, typing, deleting and drawing are never refused.
    bool onTextFieldAttachWithIME(zanth2d::ZTTextFieldTTF* sender) override;
    bool onTextFieldDetachWithIME(zanth2d::ZTTextFieldTTF* sender) override;
    bool onTextFieldInsertText(zanth2d::ZTTextFieldTTF* sender, const char* text, int length) override;
    bool onTextFieldDeleteBackward(zanth2d::ZTTextFieldTTF* sender, const char* deletedText,
                                   int length) override;
    // Reports the field's text when it differs from the last one reported.
    bool onDraw(zanth2d::ZTTextFieldTTF* sender) override;

signals:
    void textInputStarted();
    void textInputFinished(bool ok, const QString& enteredText);
    // length: the byte count of the piece, as the field gives it.
    void insertText(const QString& text, int length);
    void deleteText(const QString& delText, int length);
    void updateText(const QString& enteredText);

private:
    bool m_removeOnDetach;
    QString m_lastText;
};
