// The image viewer's thumbnails: made anew in order for each list of sources, each mirrored into the
// scene graph, and a click on one shows its image and file name.

#include <gtest/gtest.h>

#include "InProcessEngine.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QQuickItem>

namespace {

InProcessEngine* engine = nullptr;

const char* const kViewer = R"(import QtQuick 2.15
import Zanth 1.0
Item {
    width: 300; height: 400
    ImageViewer {
        objectName: "viewer"
        imageSources: ["qrc:/plugins/generic/Zanth/gui/skins/images/button-sd.png",
                       "qrc:/plugins/generic/Zanth/gui/skins/images/switch-on-sd.png"]
    }
}
)";

QList<QQuickItem*> thumbnails(QQuickItem* root)
{
    return root->findChildren<QQuickItem*>("imageRepeaterModel");
}

} // namespace

TEST(ImageViewer, thumbnailsFollowTheSourcesAndAClickShowsTheChosenImage)
{
    QQuickItem* root = engine->load(kViewer);
    QQuickItem* viewer = findItem(root, "viewer");
    ASSERT_EQ(thumbnails(root).size(), 2);
    EXPECT_NE(engine->wrapper().getNodeFromObject(thumbnails(root).first()), nullptr) << "mirrored";

    viewer->setProperty("imageSources",
                        QStringList{"qrc:/plugins/generic/Zanth/gui/skins/images/switch-thumb-sd.png"});
    engine->stepFrames(1);
    const QList<QQuickItem*> made = thumbnails(root);
    ASSERT_EQ(made.size(), 1);

    const QPointF centre = made.first()->mapToScene(QPointF(32, 32));
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, centre, centre, centre, Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&engine->view(), &event);
    }
    EXPECT_EQ(viewer->property("fileUrl").toString(),
              "qrc:/plugins/generic/Zanth/gui/skins/images/switch-thumb-sd.png");
    EXPECT_EQ(findItem(root, "imageViewerFileName")->property("text").toString(), "switch-thumb-sd.png");
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
