#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QProcess>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <functional>
#include <memory>

#include "VisibleWindowLock.h"
#include "nativeutils.h"

namespace {

// The folder of the recording xdg-open that main() puts first on PATH.
QString g_launcherDir;

QString recordFile()
{
    return g_launcherDir + QStringLiteral("/opened.txt");
}

// The URLs handed to the desktop so far, one per call, waiting up to five seconds for `count` of them.
QStringList openedUrls(int count)
{
    const QDeadlineTimer deadline(5000);
    QStringList lines;
    while (!deadline.hasExpired()) {
        QFile file(recordFile());
        if (file.open(QIODevice::ReadOnly)) {
            lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            if (lines.size() >= count) {
                break;
            }
        }
        QCoreApplication::processEvents();
        QThread::msleep(20);
    }
    return lines;
}

// Calls answer with the next modal dialog once it is open.
void answerNextDialog(std::function<void(QWidget*)> answer)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (QWidget* dialog = QApplication::activeModalWidget(); dialog && dialog->isVisible()) {
            timer->stop();
            timer->deleteLater();
            answer(dialog);
        }
    });
    timer->start(10);
}

struct Results
{
    explicit Results(NativeUtils& utils)
    {
        QObject::connect(&utils, &NativeUtils::textInputFinished, [this](bool accepted, const QString& text) {
            texts << (accepted ? QStringLiteral("accepted:") : QStringLiteral("rejected:")) + text;
        });
        QObject::connect(&utils, &NativeUtils::messageBoxFinished, [this](bool accepted) { boxes << accepted; });
    }
    QStringList texts;
    QList<bool> boxes;
};

class TextFieldDelegate : public QObject
{
    Q_OBJECT
signals:
    void textInputFinished(bool accepted, const QString& text);
};

class NativeUtilsTest : public ::testing::Test
{
protected:
    QQuickView view;
    NativeUtils utils{&view};
    Results results{utils};
};

} // namespace

TEST_F(NativeUtilsTest, textInputAnsweredOnTheDisplayWithXdotool)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("sh"),
                  {QStringLiteral("-c"),
                   QStringLiteral("for i in $(seq 100); do id=$(xdotool search --name '^Save as$' 2>/dev/null | head -n 1); "
                                  "[ -n \"$id\" ] && break; sleep 0.1; done; [ -n \"$id\" ] && sleep 0.3 && "
                                  "xdotool windowfocus --sync \"$id\" && sleep 0.3 && "
                                  "xdotool key --clearmodifiers End && xdotool type --delay 30 ' 2' && "
                                  "xdotool key --clearmodifiers Return")});
    utils.displayTextInput(QStringLiteral("Save as"), QStringLiteral("Enter Particle Name"), QStringLiteral("Fire"));
    // The dialog's own event loop may already have seen the script end.
    EXPECT_TRUE(xdotool.state() == QProcess::NotRunning || xdotool.waitForFinished(10000));
    EXPECT_EQ(xdotool.exitCode(), 0) << xdotool.readAllStandardError().toStdString();
    EXPECT_EQ(results.texts, QStringList{QStringLiteral("accepted:Fire 2")});
}

TEST_F(NativeUtilsTest, textInputStartsWithTextElsePlaceholderAndBlocksTheView)
{
    bool viewEnabledDuringDialog = true;
    answerNextDialog([&](QWidget* dialog) {
        auto* input = qobject_cast<QInputDialog*>(dialog);
        ASSERT_TRUE(input);
        EXPECT_EQ(input->windowTitle(), QStringLiteral("Save as"));
        EXPECT_EQ(input->labelText(), QStringLiteral("Enter Particle Name"));
        EXPECT_EQ(input->textValue(), QStringLiteral("Fire"));
        viewEnabledDuringDialog = view.contentItem()->isEnabled();
        input->accept();
    });
    utils.displayTextInput(QStringLiteral("Save as"), QStringLiteral("Enter Particle Name"), QStringLiteral("Fire"));
    EXPECT_FALSE(viewEnabledDuringDialog);
    EXPECT_TRUE(view.contentItem()->isEnabled());

    answerNextDialog([](QWidget* dialog) {
        auto* input = qobject_cast<QInputDialog*>(dialog);
        ASSERT_TRUE(input);
        EXPECT_EQ(input->textValue(), QStringLiteral("given"));
        input->setTextValue(QStringLiteral("typed"));
        input->reject();
    });
    utils.displayTextInput(QStringLiteral("t"), QStringLiteral("d"), QStringLiteral("placeholder"), QStringLiteral("given"));
    EXPECT_EQ(results.texts, (QStringList{QStringLiteral("accepted:Fire"), QStringLiteral("rejected:")}));
}

TEST_F(NativeUtilsTest, messageBoxButtonsAndResults)
{
    auto answerWith = [](QMessageBox::StandardButtons expected, QMessageBox::StandardButton pressed) {
        answerNextDialog([=](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            ASSERT_TRUE(box);
            EXPECT_EQ(box->text(), QStringLiteral("Quit?"));
            EXPECT_EQ(box->standardButtons(), expected);
            box->button(pressed)->click();
        });
    };
    answerWith(QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
    utils.displayMessageBox(QStringLiteral("Quit?"), QString(), 2);
    answerWith(QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
    utils.displayMessageBox(QStringLiteral("Quit?"), QString(), 3);
    answerWith(QMessageBox::Ok, QMessageBox::Ok);
    utils.displayMessageBox(QStringLiteral("Quit?"));

    answerNextDialog([](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        ASSERT_TRUE(box);
        EXPECT_EQ(box->informativeText(), QStringLiteral("The effect was saved."));
        box->reject();
    });
    utils.displayMessageBox(QStringLiteral("Saved"), QStringLiteral("The effect was saved."), 1);
    EXPECT_EQ(results.boxes, (QList<bool>{false, true, true, true}));
    EXPECT_TRUE(view.contentItem()->isEnabled());
}

TEST_F(NativeUtilsTest, sendEmailHandsAnEncodedMailtoUrlToTheDesktop)
{
    QFile::remove(recordFile());
    utils.sendEmail(QStringLiteral("someone@example.com"), QStringLiteral("Fire & Ice=1"),
                    QStringLiteral("{ \"a\" : 0.5 }\nline 2 \u00fc+#%?"));
    ASSERT_EQ(openedUrls(1).size(), 1);
    utils.sendEmail(QStringLiteral("someone@example.com"));
    utils.sendEmail(QStringLiteral("someone@example.com"), QString(), QStringLiteral("body only"));
    utils.openUrl(QStringLiteral("http://example.com/a b"));
    EXPECT_EQ(openedUrls(4),
              (QStringList{QStringLiteral("mailto:someone@example.com?subject=Fire%20%26%20Ice%3D1&body=%7B%20%22a%22%20%3A%20"
                                          "0.5%20%7D%0Aline%202%20%C3%BC%2B%23%25%3F"),
                           QStringLiteral("mailto:someone@example.com"),
                           QStringLiteral("mailto:someone@example.com?body=body%20only"),
                           QStringLiteral("http://example.com/a%20b")}));
}

TEST_F(NativeUtilsTest, textFieldDelegateReportsThroughTheSameSignal)
{
    auto* delegate = new TextFieldDelegate;
    utils.setTextFieldDelegate(delegate);
    EXPECT_EQ(delegate->parent(), &utils);
    emit delegate->textInputFinished(true, QStringLiteral("field"));
    EXPECT_EQ(results.texts, QStringList{QStringLiteral("accepted:field")});
}

TEST_F(NativeUtilsTest, displaySleepSwitchAndCacheClearing)
{
    QList<bool> changes;
    QObject::connect(&utils, &NativeUtils::displaySleepEnabledChanged, [&](bool enabled) { changes << enabled; });
    utils.setDisplaySleepEnabled(true);
    utils.setDisplaySleepEnabled(true);
    utils.setProperty("displaySleepEnabled", false);
    EXPECT_EQ(changes, (QList<bool>{true, false}));

    utils.clearSceneGraphTextureCache();
    int cleared = 0;
    utils.setSceneGraphCacheClearer([&cleared] { ++cleared; });
    utils.clearSceneGraphTextureCache();
    EXPECT_EQ(cleared, 1);
}

TEST_F(NativeUtilsTest, clearComponentCacheReadsChangedQmlAgain)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Changing.qml"));
    auto writeQml = [&](int value) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QStringLiteral("import QtQml 2.15\nQtObject { property int value: %1 }\n").arg(value).toUtf8());
    };
    auto valueOfNewObject = [&] {
        QQmlComponent component(view.engine(), QUrl::fromLocalFile(path));
        const std::unique_ptr<QObject> object(component.create());
        return object ? object->property("value").toInt() : -1;
    };
    writeQml(1);
    EXPECT_EQ(valueOfNewObject(), 1);
    writeQml(2);
    EXPECT_EQ(valueOfNewObject(), 1) << "still cached";
    utils.clearComponentCache();
    EXPECT_EQ(valueOfNewObject(), 2);
}

int main(int argc, char** argv)
{
    // Dialogs need a real display: this test talks to the X server that xvfb-run provides.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QTemporaryDir launcher;
    g_launcherDir = launcher.path();
    QFile script(launcher.filePath(QStringLiteral("xdg-open")));
    if (!script.open(QIODevice::WriteOnly)) {
        return 1;
    }
    script.write("#!/bin/sh\nprintf '%s\\n' \"$*\" >> \"$(dirname \"$0\")/opened.txt\"\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", launcher.path().toLocal8Bit() + ':' + qgetenv("PATH"));
    // A desktop session variable would send URLs to that desktop's own opener instead.
    qunsetenv("DEFAULT_BROWSER");
    qunsetenv("BROWSER");

    // Other tests show windows and type on the same X server: take turns, so none steals our focus.
    VisibleWindowLock windowLock;
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QApplication app(argc, argv);
    // A dialog nobody answers would block the test for ever: reject it after 20 s and fail instead.
    QWidget* watchedDialog = nullptr;
    int watchedSeconds = 0;
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        watchedSeconds = dialog == watchedDialog ? watchedSeconds + 1 : 0;
        watchedDialog = dialog;
        if (dialog && watchedSeconds >= 20) {
            ADD_FAILURE() << "a dialog stayed open for 20 s: " << dialog->windowTitle().toStdString();
            if (auto* box = qobject_cast<QDialog*>(dialog)) {
                box->reject();
            } else {
                dialog->close();
            }
        }
    });
    watchdog.start(1000);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "NativeUtilsTest.moc"
