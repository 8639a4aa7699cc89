#include "itemeditor.h"

#include "qmltyperegistry.h"
#include "scenegraphwrapper.h"

#include <QtDebug>

namespace {

const QmlTypeRegistrar itemEditorRow(26, [] { qmlRegisterType<ItemEditor>("Zanth", 1, 0, "ItemEditorBase"); });

// Stores the component and tells only a change.
template <typename Signal>
void assign(ItemEditor* editor, QQmlComponent*& field, QQmlComponent* component, Signal changed)
{
    if (field == component)
        return;
    field = component;
    emit(editor->*changed)();
}

} // namespace

ItemEditor::ItemEditor(QQuickItem* parent) : ZTNodeItem(parent)
{
    // The node is attached after the QML creation pass, when the parent item's node exists.
    m_setupTimer.setInterval(0);
    connect(&m_setupTimer, &QTimer::timeout, this, &ItemEditor::setup);
    m_setupTimer.start();
}

void ItemEditor::setup()
{
    m_setupTimer.stop();
    createBaseNodeAndAddToParent(nullptr);
    if (!getZTNode())
        qWarning("ItemEditor: The node of this item was not available. The function createBaseNodeAndAddToParent() may not be called before.");
}

void ItemEditor::setContentDelegate(QQmlComponent* c) { assign(this, m_contentDelegate, c, &ItemEditor::contentDelegateChanged); }
void ItemEditor::setGroupDelegate(QQmlComponent* c) { assign(this, m_groupDelegate, c, &ItemEditor::groupDelegateChanged); }
void ItemEditor::setBoolDelegate(QQmlComponent* c) { assign(this, m_boolDelegate, c, &ItemEditor::boolDelegateChanged); }
void ItemEditor::setNumberDelegate(QQmlComponent* c) { assign(this, m_numberDelegate, c, &ItemEditor::numberDelegateChanged); }
void ItemEditor::setStringDelegate(QQmlComponent* c) { assign(this, m_stringDelegate, c, &ItemEditor::stringDelegateChanged); }
void ItemEditor::setPointDelegate(QQmlComponent* c) { assign(this, m_pointDelegate, c, &ItemEditor::pointDelegateChanged); }
void ItemEditor::setColorDelegate(QQmlComponent* c) { assign(this, m_colorDelegate, c, &ItemEditor::colorDelegateChanged); }
void ItemEditor::setTextureDelegate(QQmlComponent* c) { assign(this, m_textureDelegate, c, &ItemEditor::textureDelegateChanged); }
void ItemEditor::setArrayDelegate(QQmlComponent* c) { assign(this, m_arrayDelegate, c, &ItemEditor::arrayDelegateChanged); }
