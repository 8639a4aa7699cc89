#include "textinputitem.h"

#include "qmltyperegistry.h"
#include "scenegraphwrapper.h"
#include "textfielddelegateqobject.h"

#include "text_input_node/ZTTextFieldTTF.h"

#include <QFontInfo>
#include <QTimer>
#include <QtQml>

using namespace zanth2d;

namespace {
const QmlTypeRegistrar textInputRow(27,
                                    [] { qmlRegisterType<TextInputItem>("Zanth", 1, 0, "TextInputItem"); });

ztColor3B toColor3B(const QColor& color)
{
    return {GLubyte(color.red()), GLubyte(color.green()), GLubyte(color.blue())};
}
} // namespace

TextInputItem::TextInputItem(QQuickItem* parent) : ZTNodeItem(parent), m_setupTimer(new QTimer(this))
{
    connect(m_setupTimer, &QTimer::timeout, this, &TextInputItem::setup);
    m_setupTimer->start(0);
}

void TextInputItem::setText(const QString& text)
{
    if (m_text == text)
        return;
    m_text = text;
    updateInternalTextData();
    emit textChanged();
}

void TextInputItem::setPlaceholderText(const QString& text)
{
    if (m_placeholderText == text)
        return;
    m_placeholderText = text;
    if (m_textField)
        m_textField->setPlaceHolder(text.toLocal8Bit().constData());
    updateInternalTextData();
    emit placeholderTextChanged();
}

void TextInputItem::setFont(const QFont& font)
{
    if (m_font == font)
        return;
    m_font = font;
    updateInternalTextData();
    emit fontChanged();
}

void TextInputItem::setColor(const QColor& color)
{
    if (m_color == color)
        return;
    m_color = color;
    updateInternalTextData();
    emit colorChanged();
}

void TextInputItem::setPlaceholderColor(const QColor& color)
{
    if (m_placeholderColor == color)
        return;
    m_placeholderColor = color;
    updateInternalTextData();
    emit placeholderColorChanged();
}

QString TextInputItem::sceneGraphFontName(const QFont& font)
{
    QString name = font.family();
    const bool isFile = name.toLower().endsWith(QLatin1String(".ttf"));
    if (isFile)
        name = SceneGraphWrapper::getPlatformUrlString(QUrl(name));
    // Qt's weight scale puts Normal at 400: anything heavier is bold.
    else if (font.weight() > QFont::Normal)
        name += QLatin1String("-Bold");
    return name;
}

float TextInputItem::pixelSize() const
{
    return float(m_font.pixelSize() != -1 ? m_font.pixelSize() : QFontInfo(m_font).pixelSize());
}

void TextInputItem::setup()
{
    m_setupTimer->stop();
    createBaseNodeAndAddToParent(nullptr);
    if (!getZTNode()) {
        qWarning("TextInputItem: The node of this item was not available. The function "
                 "createBaseNodeAndAddToParent() may not be called before.");
        return;
    }
    connectOpacityChangedSignals();
    const qreal scale = SceneGraphWrapper::getSceneContentScaleFactorForItem(this);
    m_textField = ZTTextFieldTTF::textFieldWithPlaceHolder(
        m_placeholderText.toLocal8Bit().constData(), sceneGraphFontName(m_font).toLocal8Bit().constData(),
        float(pixelSize() * scale));
    if (!m_textField) {
        qWarning("TextInputItem: WARNING: the text field could not be made for the font %s",
                 qPrintable(m_font.family()));
        return;
    }
    m_textField->setAnchorPoint(ZTPoint(0, 1));
    m_delegate = new TextFieldDelegateQObject(this, false);
    connect(m_delegate, &TextFieldDelegateQObject::textInputStarted, this,
            &TextInputItem::itemTextInputStarted);
    connect(m_delegate, &TextFieldDelegateQObject::textInputFinished, this,
            &TextInputItem::itemTextInputFinished);
    connect(m_delegate, &TextFieldDelegateQObject::insertText, this, &TextInputItem::itemInsertText);
    connect(m_delegate, &TextFieldDelegateQObject::deleteText, this, &TextInputItem::itemDeleteText);
    connect(m_delegate, &TextFieldDelegateQObject::updateText, this, &TextInputItem::itemUpdateText);
    m_textField->setDelegate(m_delegate);
    getZTNode()->addChild(m_textField);
    connect(this, &QQuickItem::widthChanged, this, &TextInputItem::itemSizeChanged);
    connect(this, &QQuickItem::heightChanged, this, &TextInputItem::itemSizeChanged);
    m_givenWidth = width();
    m_givenHeight = height();
    updateInternalTextData();
}

void TextInputItem::updateInternalTextData()
{
    if (!m_textField)
        return;
    m_textField->setColorSpaceHolder(toColor3B(m_placeholderColor));
    m_textField->setColor(toColor3B(m_color));
    const qreal scale = SceneGraphWrapper::getSceneContentScaleFactorForItem(this);
    m_textField->setFontSize(float(QFontInfo(m_font).pixelSize() * scale));
    m_textField->setString(m_text.toLocal8Bit().constData());
    m_textField->setScale(float(1.0 / scale));
    const ZTSize content = m_textField->getContentSize();
    const double w = content.width / scale;
    const double h = content.height / scale;
    m_resizing = true;
    // An item given only a width keeps the text's height: a height of 0 could never be clicked.
    if (m_givenWidth > 0 && m_givenWidth > w)
        setSize(QSizeF(m_givenWidth, m_givenHeight > 0 ? m_givenHeight : h));
    else
        setSize(QSizeF(w, h));
    m_resizing = false;
    updateOpacity();
}

void TextInputItem::itemOpacityChanged()
{
    updateOpacity();
}

void TextInputItem::updateOpacity()
{
    ZTNode* node = getZTNode();
    if (!node || !m_textField)
        return;
    qreal effective = 1.0;
    for (const QQuickItem* item = this; item; item = item->parentItem())
        effective *= item->opacity();
    m_textField->setOpacity(GLubyte(255 * effective));
    if (effective <= 0.01) {
        if (node->getIsVisible())
            node->setIsVisible(false);
    } else if (isVisible() && !node->getIsVisible()) {
        node->setIsVisible(true);
    }
}

void TextInputItem::itemSizeChanged()
{
    if (!getZTNode() || !m_textField)
        return;
    if (!m_resizing) {
        m_givenWidth = width();
        m_givenHeight = height();
    }
    const float size = float(pixelSize() * SceneGraphWrapper::getSceneContentScaleFactorForItem(this));
    if (size != m_textField->getFontSize()) {
        m_textField->setFontSize(size);
        updateInternalTextData();
    }
}

void TextInputItem::openSoftwareInputPanel()
{
    if (m_inputOpen && m_textField) {
        m_textField->detachWithIME();
        m_inputOpen = false;
    }
    if (m_textField && !m_inputOpen) {
        m_inputOpen = true;
        m_textField->attachWithIME();
    }
}

void TextInputItem::closeSoftwareInputPanel()
{
    if (m_textField && m_inputOpen) {
        m_inputOpen = false;
        m_textField->detachWithIME();
    }
}

void TextInputItem::itemTextInputStarted()
{
    const QString current = QString::fromLocal8Bit(m_textField->getString());
    if (current != m_text) {
        m_text = current;
        updateInternalTextData();
        emit textChanged();
    }
}

void TextInputItem::itemUpdateText(const QString& enteredText)
{
    if (enteredText == m_text)
        return;
    m_text = enteredText;
    updateInternalTextData();
    emit textChanged();
}

void TextInputItem::itemTextInputFinished(bool ok, const QString& enteredText)
{
    if (enteredText != m_text) {
        m_text = enteredText;
        updateInternalTextData();
        emit textChanged();
    }
    if (ok && m_inputOpen) {
        // This arrives from the field's own detach: marking it closed is all that is left to do.
        m_inputOpen = false;
        emit accepted();
    }
}
