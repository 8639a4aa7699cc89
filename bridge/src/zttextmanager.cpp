#include "zttextmanager.h"

#include "itemsignalrelay.h"
#include "scenegraphwrapper.h"

#include "base_nodes/ZTNode.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "label_nodes/ZTLabelTTF.h"

#include <QFontInfo>
#include <QQuickItem>
#include <QUrl>

#include <cmath>
#include <cstring>

using namespace zanth2d;

namespace {

QColor textColor(const QObject* item)
{
    const QVariant color = item->property("color");
    return color.isValid() ? color.value<QColor>() : QColor(Qt::black);
}

// A property of Text items, read through its index: every Text inherits the same index from QQuickText,
// and looking a property up by name for each of a thousand texts changing every frame costs more than
// rendering them.
class TextProperty
{
public:
    explicit TextProperty(const char* name) : m_name(name) {}

    QVariant read(const QObject* item)
    {
        const QMetaObject* type = item->metaObject();
        if (m_index < 0 || m_index >= type->propertyCount() ||
            std::strcmp(type->property(m_index).name(), m_name))
            m_index = type->indexOfProperty(m_name);
        return m_index < 0 ? QVariant() : type->property(m_index).read(item);
    }

private:
    const char* m_name;
    int m_index = -1;
};

TextProperty textProperty("text");
TextProperty fontProperty("font");

ztColor3B sceneGraphColor(const QColor& color)
{
    return ztColor3B{GLubyte(color.red()), GLubyte(color.green()), GLubyte(color.blue())};
}

// The label's box in points at factor f: the width truncated to whole points before scaling.
ZTSize labelBox(const QQuickItem* item, double f)
{
    return ZTSize(float(ZTTextManager::getWidthForSceneGraph(item) * f), float(item->height() * f));
}

} // namespace

ZTTextManager::ZTTextManager(SceneGraphWrapper& wrapper, QObject* parent)
    : AbstractZTNodeManager(wrapper, parent)
{
}

int ZTTextManager::matchedPixelSize(const QFont& font)
{
    if (m_lastPixelSize < 0 || !(font == m_lastFont) || font.resolveMask() != m_lastFont.resolveMask()) {
        m_lastFont = font;
        m_lastPixelSize = QFontInfo(font).pixelSize();
    }
    return m_lastPixelSize;
}

float ZTTextManager::labelFontSize(const QFont& font, double f)
{
    return float(matchedPixelSize(font) * f);
}

bool ZTTextManager::canCreateNodeFromItem(QObject* item)
{
    return SceneGraphWrapper::inherits("QQuickText", item);
}

ZTTextAlignment ZTTextManager::qtToSceneGraphAlignment(Qt::Alignment alignment)
{
    if (alignment == Qt::AlignLeft)
        return kZTTextAlignmentLeft;
    if (alignment == Qt::AlignRight)
        return kZTTextAlignmentRight;
    return kZTTextAlignmentCenter;
}

int ZTTextManager::getWidthForSceneGraph(const QQuickItem* item)
{
    return int(item->width());
}

double ZTTextManager::labelScaleFactor(QQuickItem* item)
{
    const double f = SceneGraphWrapper::getSceneContentScaleFactorForItem(item);
    return std::isfinite(f) && f > 1e-6 ? f : 1.0;
}

ZTLabelTTF* ZTTextManager::labelOf(QObject* item) const
{
    ZTNode* node = getNodeFromObject(item);
    return node ? dynamic_cast<ZTLabelTTF*>(node->getChildByTag(0)) : nullptr;
}

ZTNode* ZTTextManager::createNodeFromItem(QObject* item, ZTNode* parentNode)
{
    QQuickItem* quickItem = SceneGraphWrapper::castItem(item);
    ZTNode* node = createBaseNodeAndAddToParent(item, parentNode);
    if (!node || !quickItem)
        return node;
    const double f = labelScaleFactor(quickItem);
    const QString text = item->property("text").toString();
    const QFont font = item->property("font").value<QFont>();

    QString fontName = font.family();
    const bool fontFile = fontName.endsWith(QLatin1String(".ttf"), Qt::CaseInsensitive);
    if (fontFile)
        fontName = SceneGraphWrapper::getPlatformUrlString(QUrl(fontName));
    else if (font.weight() > QFont::Normal)
        fontName += QLatin1String("-Bold");
    const auto alignment =
        qtToSceneGraphAlignment(Qt::Alignment(item->property("horizontalAlignment").toInt()));

    // Texts of games change often (scores, timers), and nothing else sees their labels' textures.
    ZTLabelTTF* label = ztMakeAutoreleased<ZTLabelTTF>([&](ZTLabelTTF* made) {
        made->setDrawnOnSheet(true);
        return made->initWithString(text.toLocal8Bit().constData(), labelBox(quickItem, f), alignment,
                                    fontName.toLocal8Bit().constData(), labelFontSize(font, f));
    });
    if (label) {
        label->setColor(sceneGraphColor(textColor(item)));
        label->setAnchorPoint(ZTPoint(0, 1));
        label->setScale(float(1 / f));
        node->addChild(label, 0, 0);
    }
    applyItemPropertiesToNode(item, node);
    applyTransformOriginToNode(item, node);

    sceneGraphWrapper().connectItemSignals(item, this);
    ItemSignalRelay::connectSignal(item, SIGNAL(textChanged(QString)), this,
                                   [this, quickItem] { textChanged(quickItem); });
    ItemSignalRelay::connectSignal(item, SIGNAL(fontChanged(QFont)), this,
                                   [this, quickItem] { updateTextItem(quickItem); });
    ItemSignalRelay::connectSignal(item, SIGNAL(colorChanged()), this,
                                   [this, quickItem] { colorChanged(quickItem); });
    insertNodeWithObjectAsKey(item, node);
    connectOpacityChangedSignals(quickItem);
    updateOpacityFromItem(item);
    return node;
}

void ZTTextManager::textChanged(QQuickItem* item)
{
    ZTLabelTTF* label = labelOf(item);
    if (!label)
        return;
    const double f = labelScaleFactor(item);
    label->setFontSize(labelFontSize(fontProperty.read(item).value<QFont>(), f));
    label->setScale(float(1 / f));
    label->setDimensions(labelBox(item, f));
    label->setString(textProperty.read(item).toString().toLocal8Bit().constData());
}

void ZTTextManager::itemSizeChanged(QQuickItem* item)
{
    updateTextItem(item);
    AbstractZTNodeManager::itemSizeChanged(item);
}

void ZTTextManager::updateTextItem(QQuickItem* item)
{
    ZTLabelTTF* label = labelOf(item);
    if (!label)
        return;
    const double f = labelScaleFactor(item);
    const ZTSize box = labelBox(item, f);
    const float fontSize = labelFontSize(fontProperty.read(item).value<QFont>(), f);
    if (box.width == label->getDimensions().width && box.height == label->getDimensions().height &&
        fontSize == label->getFontSize())
        return;
    label->setFontSize(fontSize);
    label->setDimensions(box);
    label->setScale(float(1 / f));
    label->setString(textProperty.read(item).toString().toLocal8Bit().constData());
}

void ZTTextManager::colorChanged(QQuickItem* item)
{
    if (ZTLabelTTF* label = labelOf(item))
        label->setColor(sceneGraphColor(textColor(item)));
    updateOpacityFromItem(item);
}

void ZTTextManager::updateOpacityFromItem(QObject* item)
{
    ZTNode* node = getNodeFromObject(item);
    ZTLabelTTF* label = labelOf(item);
    QQuickItem* quickItem = SceneGraphWrapper::castItem(item);
    if (!node || !label || !quickItem)
        return;
    const double opacity = effectiveOpacity(quickItem);
    label->setOpacity(GLubyte(int(opacity * 255.0)));
    updateVisibilityFromOpacity(quickItem, node, opacity);
}

void ZTTextManager::itemOpacityChanged(QQuickItem* item)
{
    updateOpacityFromItem(item);
}
