// The rules for the names of saved effects: a name becomes a file of the effects folder itself, so
// nothing that leaves the folder, hides the file or reads as part of a URL is taken.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>

#include <memory>

namespace {

QString problemOf(const QString& name)
{
    static int argc = 1;
    static char arg[] = "EffectFilesTest";
    static char* argv[] = {arg, nullptr};
    static QGuiApplication app(argc, argv);
    static QQmlEngine engine;
    static std::unique_ptr<QObject> checker = [] {
        QQmlComponent component(&engine);
        component.setData("import QtQml 2.15\nimport \"qrc:/qml/EffectFiles.js\" as Files\n"
                          "QtObject { function check(n) { return Files.nameProblem(n) } }\n",
                          QUrl("qrc:/qml/EffectFilesCheck.qml"));
        return std::unique_ptr<QObject>(component.create());
    }();
    if (!checker)
        return "no checker";
    QVariant result;
    QMetaObject::invokeMethod(checker.get(), "check", Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, name));
    return result.toString();
}

} // namespace

TEST(EffectFiles, plainNamesAreTaken)
{
    for (const char* name : {"Blue", "My Fire 2", "fire_ball-3", "Größer"})
        EXPECT_EQ(problemOf(QString::fromUtf8(name)), "") << name;
}

TEST(EffectFiles, namesThatLeaveTheFolderOrBreakAUrlAreRefusedWithAReason)
{
    for (const char* name : {"", "   ", "../Blue", "a/b", "a\\b", "..", "a..b", ".hidden", "a#b", "a?b",
                             "100%", " Blue", "Blue ", "a:b", "a\nb", "a\"b"})
        EXPECT_NE(problemOf(QString::fromUtf8(name)), "") << name;
    EXPECT_NE(problemOf(QString(101, 'x')), "");
    EXPECT_EQ(problemOf(QString(100, 'x')), "");
}
