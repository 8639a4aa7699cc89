#pragma once

// Embervale's own main QML file on the engine started in the test process, with the means to look into it
// by script and to answer its modal dialogs.

#include "InProcessEngine.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QQmlExpression>
#include <QTimer>
#include <QUrl>

#include <deque>
#include <functional>

// Loads qrc:/qml/EmbervaleMain.qml as the program does and returns its window, once the start effect's
// particle runs and the first frame is on the screen, after which the program makes what that frame does
// not show (null when it never gets there).
inline QQuickItem* loadEmbervale(InProcessEngine& engine)
{
    engine.application().setMainQmlFileName(QStringLiteral(":/qml/EmbervaleMain.qml"));
    engine.application().loadQmlFile();
    QQuickItem* window = engine.view().rootObject();
    if (!window)
        return nullptr;
    const bool started = engine.stepFramesUntil([&] {
        QQmlExpression running(qmlContext(window), window,
                               QStringLiteral("scene.effectEntities().length === 1 && "
                                              "scene.effectEntities()[0].particle.running"));
        return running.evaluate().toBool() && engine.application().firstFrameShown();
    });
    return started ? window : nullptr;
}

// Evaluates the script in the window's scope (its ids: window, scene, entityManager, flurry); a script
// error fails the test.
inline QVariant js(QQuickItem* window, const QString& script)
{
    QQmlExpression expression(qmlContext(window), window, script);
    QVariant value = expression.evaluate();
    if (expression.hasError())
        ADD_FAILURE() << expression.error().toString().toStdString() << " in: " << script.toStdString();
    if (value.canConvert<QJSValue>())
        value = value.value<QJSValue>().toVariant();
    return value;
}

// Answers the program's modal dialogs from inside their own event loops, in order: an input dialog gets
// the text and is accepted, a message box is accepted or cancelled. What each dialog said is kept.
class DialogAnswers : public QObject
{
public:
    struct Answer
    {
        QString text;
        bool accept = true;
    };

    DialogAnswers()
    {
        connect(&m_timer, &QTimer::timeout, this, &DialogAnswers::answer);
        m_timer.start(10);
    }

    void input(const QString& text) { m_answers.push_back({text, true}); }
    void box(bool accept) { m_answers.push_back({QString(), accept}); }
    // "title | description" of every dialog answered, in order.
    const QStringList& seen() const { return m_seen; }
    bool allAnswered() const { return m_answers.empty(); }

private:
    void answer()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || m_answers.empty())
            return;
        const Answer next = m_answers.front();
        m_answers.pop_front();
        if (auto* input = qobject_cast<QInputDialog*>(modal)) {
            m_seen << input->windowTitle() + " | " + input->labelText();
            input->setTextValue(next.text);
            input->done(next.accept ? QDialog::Accepted : QDialog::Rejected);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            m_seen << box->text() + " | " + box->informativeText();
            QAbstractButton* button = box->button(next.accept ? QMessageBox::Ok : QMessageBox::Cancel);
            if (button)
                button->click();
            else
                box->done(0);
        } else {
            m_seen << "unknown dialog " + QString::fromLatin1(modal->metaObject()->className());
        }
    }

    QTimer m_timer;
    std::deque<Answer> m_answers;
    QStringList m_seen;
};
