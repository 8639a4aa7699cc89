#include "nativeutils.h"

#include "items/textfielddelegateqobject.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFocusEvent>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QUrl>
#include <QUrlQuery>

NativeUtils::NativeUtils(QQuickView* view, QObject* parent) : QObject(parent), m_view(view)
{
    setTextFieldDelegate(new TextFieldDelegateQObject(nullptr, false));
}

void NativeUtils::setDisplaySleepEnabled(bool enabled)
{
    if (enabled == m_displaySleepEnabled) {
        return;
    }
    m_displaySleepEnabled = enabled;
    emit displaySleepEnabledChanged(enabled);
}

void NativeUtils::setTextFieldDelegate(QObject* delegate)
{
    delegate->setParent(this);
    connect(delegate, SIGNAL(textInputFinished(bool, QString)), this, SIGNAL(textInputFinished(bool, QString)));
}

void NativeUtils::setSceneGraphCacheClearer(std::function<void()> clearer)
{
    m_sceneGraphCacheClearer = std::move(clearer);
}

void NativeUtils::displayTextInput(const QString& title, const QString& description, const QString& placeholder,
                                   const QString& text)
{
    const QString initialText = text.isEmpty() ? placeholder : text;
    bool accepted = false;
    setViewInputEnabled(false);
    const QString entered = QInputDialog::getText(nullptr, title, description, QLineEdit::Normal, initialText, &accepted);
    setViewInputEnabled(true);
    emit textInputFinished(accepted, entered);
}

void NativeUtils::displayMessageBox(const QString& title, const QString& description, int buttons)
{
    QMessageBox box;
    box.setText(title);
    box.setInformativeText(description);
    box.setStandardButtons((buttons & 2) ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok);
    setViewInputEnabled(false);
    const int result = box.exec();
    setViewInputEnabled(true);
    emit messageBoxFinished(result != QMessageBox::Cancel);
}

void NativeUtils::openUrl(const QString& urlString)
{
    QDesktopServices::openUrl(QUrl(urlString, QUrl::TolerantMode));
}

void NativeUtils::sendEmail(const QString& to, const QString& subject, const QString& message)
{
    QUrl url(QStringLiteral("mailto:") + to, QUrl::TolerantMode);
    QUrlQuery query;
    if (!subject.isEmpty()) {
        query.addQueryItem(QStringLiteral("subject"), QString::fromLatin1(QUrl::toPercentEncoding(subject)));
    }
    if (!message.isEmpty()) {
        query.addQueryItem(QStringLiteral("body"), QString::fromLatin1(QUrl::toPercentEncoding(message)));
    }
    if (!query.isEmpty()) {
        url.setQuery(query);
    }
    QDesktopServices::openUrl(url);
}

void NativeUtils::clearComponentCache()
{
    if (m_view) {
        m_view->engine()->clearComponentCache();
    }
}

void NativeUtils::clearSceneGraphTextureCache()
{
    if (m_sceneGraphCacheClearer) {
        m_sceneGraphCacheClearer();
    }
}

void NativeUtils::vibrate() {}

void NativeUtils::setViewInputEnabled(bool enabled)
{
    if (!m_view) {
        return;
    }
    m_view->contentItem()->setEnabled(enabled);
    if (enabled) {
        // The unshown view loses its focus item while a dialog is open; without this keys go nowhere.
        QFocusEvent focusIn(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QCoreApplication::sendEvent(m_view, &focusIn);
    }
}
