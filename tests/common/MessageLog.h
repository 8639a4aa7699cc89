#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Collects Qt messages while it lives, so tests can check the log lines a class writes.
class MessageLog
{
public:
    MessageLog() { s_previous = qInstallMessageHandler(&MessageLog::handle); s_lines().clear(); }
    ~MessageLog() { qInstallMessageHandler(s_previous); }

    QStringList lines() const { return s_lines(); }
    bool contains(const QString& text) const
    {
        for (const QString& line : s_lines()) {
            if (line.contains(text))
                return true;
        }
        return false;
    }

private:
    static void handle(QtMsgType, const QMessageLogContext&, const QString& message) { s_lines().append(message); }
    static QStringList& s_lines()
    {
        static QStringList lines;
        return lines;
    }
    static inline QtMessageHandler s_previous = nullptr;
};
