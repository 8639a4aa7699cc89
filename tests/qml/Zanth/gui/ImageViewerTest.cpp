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
    ImageViewer {
        objectName: "rows"
        x: 150
        thumbnailsPerRow: 2
        imageSources: ["qrc:/plugins/generic/Zanth/gui/skins/images/button-sd.png",
                       "qrc:/plugins/generic/Zanth/gui/skins/images/switch-on-sd.png",
                       "qrc:/plugins/generic/Zanth/gui/skins/images/switch-thumb-sd.png"]
    }
}
)";

QList<QQuickItem*> thumbnails(QQuickItem* viewer)
{
    return viewer->findChildren<QQuickItem*>("imageRepeaterModel");
}

} // namespace

TEST(ImageViewer, thumbnailsFollowTheSourcesAndAClickShowsTheChosenImage)
{
    QQuickItem* root = engine->load(kViewer);
    QQuickItem* viewer = findItem(root, "viewer");
    ASSERT_EQ(thumbnails(viewer).size(), 2);
    EXPECT_NE(engine->wrapper().getNodeFromObject(thumbnails(viewer).first()), nullptr) << "mirrored";

    viewer->setProperty("imageSources",
                        QStringList{"qrc:/plugins/generic/Zanth/gui/skins/images/switch-thumb-sd.png"});
    engine->stepFrames(1);
    const QList<QQuickItem*> made = thumbnails(viewer);
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

TEST(ImageViewer, thumbnailsFillRowsOfTheGivenLength)
{
    QQuickItem* root = engine->load(kViewer);
    engine->stepFrames(1);
    const QList<QQuickItem*> made = thumbnails(findItem(root, "rows"));
    ASSERT_EQ(made.size(), 3);
    EXPECT_GT(made[1]->x(), made[0]->x());
    EXPECT_EQ(made[1]->y(), made[0]->y());
    EXPECT_EQ(made[2]->x(), made[0]->x());
    EXPECT_GT(made[2]->y(), made[0]->y());
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
