#pragma once

#include "abstractztnodemanager.h"

#include "textures/ZTTexture2D.h"

#include <QColor>
#include <QFont>

class QQuickItem;

namespace zanth2d {
class ZTLabelTTF;
}

// Mirrors QML Text items: the base node carries the item's transform like every node, and one label
// (tag 0) that renders the text in the item's font, colour, horizontal alignment and box. The label is
// rendered at the item's scale in the window, so that text stays sharp in a scaled scene, and scaled
// back by the same factor. The family, weight and alignment are taken when the node is made.
class ZTTextManager : public AbstractZTNodeManager
{
    Q_OBJECT

public:
    ZTTextManager(SceneGraphWrapper& wrapper, QObject* parent);

    bool canCreateNodeFromItem(QObject* item) override;
    // Returns the base node; the text item's child items hang beside the label.
    zanth2d::ZTNode* createNodeFromItem(QObject* item, zanth2d::ZTNode* parentNode) override;

    // Left and right stay, everything else (centre, justify, combined flags) is centred.
    static zanth2d::ZTTextAlignment qtToSceneGraphAlignment(Qt::Alignment alignment);
    static int getWidthForSceneGraph(const QQuickItem* item);
    // The factor the label is rendered at: the item's scale in the window, or 1 when that is not
    // positive (an item scaled to nothing or turned upside down).
    static double labelScaleFactor(QQuickItem* item);
    void updateOpacityFromItem(QObject* item);

    // Renders the new text at the current factor, size and font size.
    void textChanged(QQuickItem* item);
    void colorChanged(QQuickItem* item);
    // A new box or pixel size renders the text again; the family is kept from creation.
    void itemSizeChanged(QQuickItem* item) override;
    void itemOpacityChanged(QQuickItem* item) override;

private:
    // The pixel size of the font Qt matches for a text's font: texts that change every frame ask for the
    // same font again and again, which Qt would match anew each time.
    int matchedPixelSize(const QFont& font);
    float labelFontSize(const QFont& font, double f);
    void updateTextItem(QQuickItem* item);
    zanth2d::ZTLabelTTF* labelOf(QObject* item) const;

    QFont m_lastFont;
    int m_lastPixelSize = -1;
};
