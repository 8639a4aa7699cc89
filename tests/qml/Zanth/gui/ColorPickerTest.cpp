// The colour picker shows the channels declared for it, in its colour and on its sliders, whatever the
// order of the declarations, and keeps them through its initialisation.

#include <gtest/gtest.h>

#include "InProcessEngine.h"

#include <QColor>
#include <QQuickItem>

#include <algorithm>
#include <vector>

namespace {

InProcessEngine* engine = nullptr;

double sliderValue(QQuickItem* picker, const char* name)
{
    return findItem(picker, name)->property("value").toDouble();
}

} // namespace

TEST(ColorPicker, channelsDeclaredAtCreationShowInTheColourAndOnTheSlidersWhateverTheirOrder)
{
    std::vector<QByteArray> declarations = {"alpha: 128", "blue: 10", "green: 40", "maximumValue: 255",
                                            "red: 200"};
    QByteArray qml = "import QtQuick 2.15\nimport Zanth 1.0\nItem {\n    width: 400; height: 300\n";
    int count = 0;
    do {
        qml += "    ColorPicker { objectName: \"c" + QByteArray::number(count++) + "\"; ";
        for (const QByteArray& declaration : declarations)
            qml += declaration + "; ";
        qml += "}\n";
    } while (std::next_permutation(declarations.begin(), declarations.end()));
    qml += "}\n";
    QQuickItem* root = engine->load(qml);
    ASSERT_NE(root, nullptr);
    for (int n = 0; n < count; ++n) {
        QQuickItem* picker = findItem(root, QByteArray("c" + QByteArray::number(n)).constData());
        for (int initialised = 0; initialised < 2; ++initialised) {
            const QColor color = picker->property("color").value<QColor>();
            EXPECT_EQ(color, QColor(200, 40, 10, 128))
                << "picker c" << n << (initialised ? " initialised" : "");
            EXPECT_EQ(sliderValue(picker, "colorPickerRed"), 200.0) << "picker c" << n;
            EXPECT_EQ(sliderValue(picker, "colorPickerGreen"), 40.0) << "picker c" << n;
            EXPECT_EQ(sliderValue(picker, "colorPickerBlue"), 10.0) << "picker c" << n;
            EXPECT_EQ(sliderValue(picker, "colorPickerAlpha"), 128.0) << "picker c" << n;
            QVariant made;
            ASSERT_TRUE(QMetaObject::invokeMethod(picker, "initialize", Q_RETURN_ARG(QVariant, made)));
        }
    }
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
