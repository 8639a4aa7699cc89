#include "typewriteritem.h"

#include "qmltyperegistry.h"
#include "scenegraphwrapper.h"

#include <QTimer>
#include <QtQml>

namespace {
const QmlTypeRegistrar typeWriterRow(24, [] {
    qmlRegisterType<TypeWriterItem>("Zanth", 1, 0, "TypeWriterItem");
});
}

TypeWriterItem::TypeWriterItem(QQuickItem* parent) : ZTNodeItem(parent), m_setupTimer(new QTimer(this))
{
    connect(m_setupTimer, &QTimer::timeout, this, &TypeWriterItem::setup);
    m_setupTimer->start(0);
}

bool TypeWriterItem::hasTimer() const
{
    if (m_typingTimer)
        return true;
    qWarning("TypeWriterItem: The timer of this item was not available. The function setup() may not be "
             "called before from the system.");
    return false;
}

void TypeWriterItem::setup()
{
    m_setupTimer->stop();
    createBaseNodeAndAddToParent(nullptr);
    if (!getZTNode()) {
        qWarning("TypeWriterItem: The node of this item was not available. The function "
                 "createBaseNodeAndAddToParent() may not be called before.");
        return;
    }
    m_typingTimer = new QTimer(this);
    connect(m_typingTimer, &QTimer::timeout, this, &TypeWriterItem::updateTypeWriter);
    m_typingTimer->setInterval(m_typeDelay);
    m_typingTimer->start();
}

void TypeWriterItem::updateTypeWriter()
{
    if (m_index >= m_textSource.length()) {
        m_typingTimer->stop();
        m_index = 0;
        m_typeWriterText.clear();
        emit typeWriterFinished();
        return;
    }
    m_typeWriterText.append(m_textSource.at(m_index));
    ++m_index;
    emit typeWriterTextChanged();
}

void TypeWriterItem::start()
{
    if (hasTimer())
        m_typingTimer->start();
}

void TypeWriterItem::pause()
{
    if (hasTimer() && m_typingTimer->isActive())
        m_typingTimer->stop();
}

void TypeWriterItem::stop()
{
    if (!hasTimer() || !m_typingTimer->isActive())
        return;
    m_typingTimer->stop();
    m_index = 0;
    m_typeWriterText.clear();
}

void TypeWriterItem::setTypeDelay(int milliseconds)
{
    if (m_typeDelay == milliseconds)
        return;
    m_typeDelay = milliseconds;
    if (hasTimer()) {
        if (m_typingTimer->isActive()) {
            m_typingTimer->stop();
            m_typingTimer->setInterval(milliseconds);
            m_typingTimer->start();
        } else {
            m_typingTimer->setInterval(milliseconds);
        }
    }
    emit typeDelayChanged();
}

void TypeWriterItem::setTextSource(const QString& text)
{
    if (m_textSource == text)
        return;
    m_textSource = text;
    emit textSourceChanged();
}
