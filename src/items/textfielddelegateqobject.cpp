#include "textfielddelegateqobject.h"

#include "text_input_node/ZTTextFieldTTF.h"

using namespace zanth2d;

TextFieldDelegateQObject::TextFieldDelegateQObject(QObject* parent, bool removeOnDetach)
    : QObject(parent), m_removeOnDetach(removeOnDetach)
{
}

bool TextFieldDelegateQObject::onTextFieldAttachWithIME(ZTTextFieldTTF*)
{
    emit textInputStarted();
    return false;
}

bool TextFieldDelegateQObject::onTextFieldDetachWithIME(ZTTextFieldTTF* sender)
{
    emit textInputFinished(true, QString::fromUtf8(sender->getString()));
    if (m_removeOnDetach && sender->getParent()) {
        // The field is in the middle of its own detach: it must live until the frame ends.
        sender->retain();
        sender->autorelease();
        sender->getParent()->removeChild(sender, true);
    }
    return false;
}

bool TextFieldDelegateQObject::onTextFieldInsertText(ZTTextFieldTTF*, const char* text, int length)
{
    emit insertText(QString::fromUtf8(text, length), length);
    return false;
}

bool TextFieldDelegateQObject::onTextFieldDeleteBackward(ZTTextFieldTTF*, const char* deletedText, int length)
{
    emit deleteText(QString::fromUtf8(deletedText, length), length);
    return false;
}

bool TextFieldDelegateQObject::onDraw(ZTTextFieldTTF* sender)
{
    const QString text = QString::fromUtf8(sender->getString());
    if (text != m_lastText) {
        m_lastText = text;
        emit updateText(text);
    }
    return false;
}
