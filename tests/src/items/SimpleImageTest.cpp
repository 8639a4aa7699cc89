#include <gtest/gtest.h>

#include "items/simpleimage.h"

#include <QGuiApplication>
#include <QSignalSpy>

TEST(SimpleImageSize, theSceneGraphsSizeBecomesTheImplicitSizeAndMakesTheImageReadyOnce)
{
    SimpleImage image;
    QSignalSpy status(&image, &SimpleImage::statusChanged);
    EXPECT_EQ(image.status(), SimpleImage::Null);
    image.setSizeFromSceneGraph(QSize(40, 20));
    EXPECT_EQ(image.status(), SimpleImage::Ready);
    EXPECT_EQ(image.width(), 40.0);
    EXPECT_EQ(image.height(), 20.0);
    EXPECT_EQ(image.sourceSize(), QSize(40, 20));
    image.setSizeFromSceneGraph(QSize(10, 10));
    EXPECT_EQ(status.count(), 1);
    EXPECT_EQ(image.width(), 10.0);
}

TEST(SimpleImageSize, stretchPaintsTheExplicitBoxAndTheImagesOwnSizeOtherwise)
{
    SimpleImage image;
    image.setSizeFromSceneGraph(QSize(40, 20));
    image.setWidth(100);
    EXPECT_EQ(image.paintedWidth(), 100.0);
    EXPECT_EQ(image.paintedHeight(), 20.0);
    EXPECT_EQ(image.boundingRect(), QRectF(0, 0, 100, 20));
}

TEST(SimpleImageSize, preserveAspectFitScalesTheImageIntoTheBox)
{
    SimpleImage image;
    image.setFillMode(SimpleImage::PreserveAspectFit);
    image.setSizeFromSceneGraph(QSize(40, 20));
    image.setSize(QSizeF(80, 80));
    EXPECT_EQ(image.paintedWidth(), 80.0);
    EXPECT_EQ(image.paintedHeight(), 40.0);
    // Without a height the image's own height bounds the box.
    image.resetHeight();
    EXPECT_EQ(image.paintedWidth(), 40.0);
    EXPECT_EQ(image.paintedHeight(), 20.0);

    SimpleImage empty;
    empty.setFillMode(SimpleImage::PreserveAspectFit);
    empty.setSizeFromSceneGraph(QSize(0, 0));
    EXPECT_EQ(empty.implicitWidth(), 0.0);
}

TEST(SimpleImageSize, preserveAspectCropCoversTheBox)
{
    SimpleImage image;
    image.setSize(QSizeF(60, 60));
    image.setFillMode(SimpleImage::PreserveAspectCrop);
    image.setSizeFromSceneGraph(QSize(40, 20));
    EXPECT_EQ(image.paintedWidth(), 120.0);
    EXPECT_EQ(image.paintedHeight(), 60.0);
}

TEST(SimpleImageProperties, changesSignalOnlyWhenTheValueChangesAndLoadingSwitchesStay)
{
    SimpleImage image;
    QSignalSpy source(&image, &SimpleImage::sourceChanged);
    QSignalSpy mirror(&image, &SimpleImage::mirrorChanged);
    image.setSource(QUrl("a.png"));
    image.setSource(QUrl("a.png"));
    image.setMirror(true);
    image.setMirror(true);
    EXPECT_EQ(source.count(), 1);
    EXPECT_EQ(mirror.count(), 1);
    image.setAsynchronous(true);
    image.setCache(false);
    EXPECT_FALSE(image.asynchronous());
    EXPECT_TRUE(image.cache());
    image.setSizeFromSceneGraph(QSize(8, 4));
    image.resetSourceSize();
    EXPECT_EQ(image.sourceSize(), QSize(8, 4));
    EXPECT_EQ(image.progress(), 0.0);
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
