#pragma once

#include "LoopbackHttpServer.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>

#include <functional>
#include <memory>
#include <optional>

// One answer of the game server: JSON that the openssl command line encrypts, or raw bytes.
struct GameReply
{
    QJsonObject json;
    std::optional<QByteArray> rawBody;
    int status = 200;
    bool stall = false;
    int delayMs = 0;

    static GameReply success(const QJsonValue& data)
    {
        return withJson({{"status", "success"}, {"data", data}});
    }
    static GameReply refusal(int code, const QString& message = QStringLiteral("refused"))
    {
        return withJson({{"status", "error"}, {"data", QJsonObject{{"code", code}, {"message", message}}}});
    }
    static GameReply withJson(const QJsonObject& json)
    {
        GameReply reply;
        reply.json = json;
        return reply;
    }
    static GameReply raw(int status, const QByteArray& body)
    {
        GameReply reply;
        reply.status = status;
        reply.rawBody = body;
        return reply;
    }
};

// A game-network server for the tests on 127.0.0.1, independent of the engine's cipher: it decrypts
// every request with the openssl command line (after reading the query as form text, where "+" is a
// space), keeps it, and answers with JSON the command line encrypts. By default it plays a small game
// service: logins, counters checked per session as the real service does (code 14 for an older counter,
// 15 for a repeated one), best scores, achievements, key-value data with update times, the player's
// friends and challenges. A test's
// own answers come from `answer`, which returns nothing to leave a request to the default.
// The network between client and service can fail on demand: the service gone (connections refused), a
// dead network (requests never arrive and hang until the client's transfer timeout), or every answer
// garbled on its way back after the service has acted on the request.
class GameServer
{
public:
    explicit GameServer(const QString& secret, quint16 port = 0)
        : m_secret(secret), m_http(std::make_unique<LoopbackHttpServer>(port))
    {
        setUp();
    }
    GameServer(const QString& secret, const QSslCertificate& certificate, const QSslKey& key)
        : m_secret(secret), m_http(std::make_unique<LoopbackHttpServer>(certificate, key))
    {
        setUp();
    }

    QString hostingUrl() const { return m_baseUrl + QStringLiteral("/api/"); }
    quint16 port() const { return quint16(QUrl(m_baseUrl).port()); }
    // Targets of every request that arrived, decryptable or not, while the service was reachable.
    QList<QByteArray> targets() const { return m_http ? m_http->requests() : QList<QByteArray>(); }

    // Unreachable: connections to the port are refused; the service keeps its state (sessions,
    // counters, scores) and listens on the same port again when reachable. Plain HTTP only.
    void setReachable(bool reachable)
    {
        if (reachable == bool(m_http))
            return;
        if (!reachable) {
            m_http.reset();
            return;
        }
        m_http = std::make_unique<LoopbackHttpServer>(port());
        setUp();
    }

    QString encrypt(const QByteArray& plain) const { return encrypt(plain, m_secret); }
    QString encrypt(const QByteArray& plain, const QString& secret) const
    {
        return QString::fromLatin1(openssl({"-pass", "pass:" + secret}, plain));
    }
    // The request in the "data" member of a request target, read as a server reads form text.
    QJsonObject decrypt(const QByteArray& target) const
    {
        const qsizetype at = target.indexOf("data=");
        QByteArray data = at < 0 ? QByteArray() : target.mid(at + 5);
        data = QByteArray::fromPercentEncoding(data.replace('+', ' '));
        if (!data.endsWith('\n'))
            data += '\n';
        return QJsonDocument::fromJson(openssl({"-d", "-pass", "pass:" + m_secret}, data)).object();
    }

    // The decrypted requests in arrival order, and when each arrived (milliseconds since 1970).
    QList<QJsonObject> requests;
    QList<qint64> arrivals;
    // Requests whose text the command line could not decrypt.
    int undecryptable = 0;
    std::function<std::optional<GameReply>(const QJsonObject&)> answer;
    // Requests the default service acted on and answered with success, in order: what it counts.
    QList<QJsonObject> accepted;
    // A dead network: requests never reach the service and their connections hang.
    bool deadNetwork = false;
    // Every answer is garbled after the service has acted on the request; garbledAnswers counts them.
    bool garbleAnswers = false;
    int garbledAnswers = 0;
    // As the real service: a request with a token it did not give gets code 12, one without a token
    // (other than a login) code 100.
    bool checkSessions = false;

    int userId = 7;
    QString userName = QStringLiteral("ann");
    QMap<QString, double> bestScores;
    QMap<QString, QJsonObject> storedData;
    // The player's friends ({id, name, ...}) and the challenges ({id, state, challenger, challenged,
    // challenger_score, ...}) the player takes part in.
    QJsonArray friends;
    QJsonArray challenges;

    QList<QJsonObject> requestsWithAction(const QString& action) const
    {
        return withAction(requests, action);
    }
    QList<QJsonObject> acceptedWithAction(const QString& action) const
    {
        return withAction(accepted, action);
    }
    // The sessions end on the service's side: their tokens are unknown from now on.
    void forgetSessions() { m_lastCounter.clear(); }
    QStringList actions() const
    {
        QStringList names;
        for (const QJsonObject& request : requests)
            names.append(request.value("action").toString());
        return names;
    }

private:
    static QList<QJsonObject> withAction(const QList<QJsonObject>& list, const QString& action)
    {
        QList<QJsonObject> found;
        for (const QJsonObject& request : list) {
            if (request.value("action").toString() == action)
                found.append(request);
        }
        return found;
    }

    void setUp()
    {
        m_baseUrl = m_http->baseUrl();
        m_http->setFallback([this](const QByteArray& target) { return serve(target); });
    }

    // A different kind of damage each time: an HTTP error page, text under another secret, cut-off
    // cipher text, and text that is no Base64 at all.
    LoopbackAnswer garbled(const LoopbackAnswer& answer)
    {
        LoopbackAnswer damaged = answer;
        switch (garbledAnswers++ % 4) {
        case 0:
            damaged.status = 502;
            damaged.body = "<html><body><h1>502 Bad Gateway</h1></body></html>";
            break;
        case 1:
            damaged.body =
                encrypt("{\"status\":\"success\",\"data\":{}}", QStringLiteral("another secret")).toLatin1();
            break;
        case 2:
            damaged.body = answer.body.left(answer.body.size() / 2);
            break;
        default:
            damaged.body = "%%% not base64 \x01\x02 at all";
            break;
        }
        return damaged;
    }

    QByteArray openssl(QStringList arguments, const QByteArray& input) const
    {
        QProcess process;
        arguments.prepend(QStringLiteral("-a"));
        arguments.prepend(QStringLiteral("md5"));
        arguments.prepend(QStringLiteral("-md"));
        arguments.prepend(QStringLiteral("-aes-256-cbc"));
        arguments.prepend(QStringLiteral("enc"));
        process.start(QStringLiteral("openssl"), arguments);
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(10000) || process.exitCode() != 0)
            return QByteArray();
        return process.readAllStandardOutput();
    }

    LoopbackAnswer serve(const QByteArray& target)
    {
        if (deadNetwork) {
            LoopbackAnswer hanging;
            hanging.stall = true;
            hanging.body = QByteArray(64, 'x');
            return hanging;
        }
        const QJsonObject request = decrypt(target);
        if (request.isEmpty()) {
            ++undecryptable;
            LoopbackAnswer refused;
            refused.status = 400;
            return refused;
        }
        requests.append(request);
        arrivals.append(QDateTime::currentMSecsSinceEpoch());
        std::optional<GameReply> reply = answer ? answer(request) : std::nullopt;
        if (!reply) {
            reply = play(request);
            if (reply->json.value("status").toString() == "success")
                accepted.append(request);
        }
        LoopbackAnswer http;
        http.status = reply->status;
        http.stall = reply->stall;
        http.delayMs = reply->delayMs;
        http.body = reply->rawBody ? *reply->rawBody
                                   : openssl({"-pass", "pass:" + m_secret},
                                             QJsonDocument(reply->json).toJson(QJsonDocument::Compact));
        return garbleAnswers ? garbled(http) : http;
    }

    QString nextTime()
    {
        return QDateTime::fromSecsSinceEpoch(1700000000 + ++m_clock, Qt::UTC).toString(Qt::ISODate);
    }

    GameReply play(const QJsonObject& request)
    {
        const QString action = request.value("action").toString();
        if (action == "login") {
            const QString token = QStringLiteral("token-%1").arg(++m_logins);
            m_lastCounter[token] = 0;
            return GameReply::success(
                QJsonObject{{"token", token}, {"user", QJsonObject{{"id", userId}, {"name", userName}}}});
        }
        const QString token = request.value("token").toString();
        if (checkSessions && !request.contains("token"))
            return GameReply::refusal(100, "logged in user required");
        if (checkSessions && !m_lastCounter.contains(token))
            return GameReply::refusal(12, "token not found");
        if (m_lastCounter.contains(token) && request.contains("timestamp")) {
            const int counter = request.value("timestamp").toInt();
            if (counter < m_lastCounter[token])
                return GameReply::refusal(14, "request too old");
            if (counter == m_lastCounter[token])
                return GameReply::refusal(15, "can not resend packet");
            m_lastCounter[token] = counter;
        }
        const QString key = request.value("key").toString();
        if (action == "get_user_scores") {
            QJsonObject scores;
            for (auto it = bestScores.cbegin(); it != bestScores.cend(); ++it)
                scores[it.key()] = QJsonObject{{"value", it.value()}, {"pos", 0}};
            return GameReply::success(scores);
        }
        if (action == "submit_score" || action == "add_score") {
            const double value = request.value("value").toDouble();
            const bool known = bestScores.contains(key);
            double best = action == "add_score"
                              ? bestScores.value(key) + value
                              : (!known || value > bestScores.value(key) ? value : bestScores.value(key));
            const bool changed = !known || best != bestScores.value(key);
            bestScores[key] = best;
            return GameReply::success(
                QJsonObject{{"value", best}, {"changed", changed}, {"updated_at", nextTime()}});
        }
        if (action == "get_achievement_progress")
            return GameReply::success(QJsonArray());
        if (action == "add_achievement_progress")
            return GameReply::success(QJsonObject{{"achievement", QJsonObject{{"key", key}}},
                                                  {"counter", request.value("amount").toInt()},
                                                  {"just_awarded", false}});
        if (action == "get_scores") {
            QJsonArray scores;
            for (auto it = bestScores.cbegin(); it != bestScores.cend(); ++it) {
                if (it.key() == key)
                    scores.append(QJsonObject{{"user", QJsonObject{{"id", userId}, {"name", userName}}},
                                              {"value", it.value()}});
            }
            return GameReply::success(QJsonObject{{"scores", scores},
                                                  {"page", request.value("page").toInt(1)},
                                                  {"per_page", request.value("per_page").toInt(30)},
                                                  {"total_count", scores.size()},
                                                  {"pos", scores.isEmpty() ? -1 : 0},
                                                  {"value", bestScores.value(key)}});
        }
        if (action == "update_user") {
            userName = request.value("screen_name").toString(userName);
            return GameReply::success(QJsonObject{{"id", userId}, {"name", userName}});
        }
        if (action == "get_friends") {
            const int perPage = request.value("per_page").toInt(30);
            const int first = (request.value("page").toInt(1) - 1) * perPage;
            QJsonArray page;
            for (int i = first; i >= 0 && i < friends.size() && i < first + perPage; ++i)
                page.append(friends[i]);
            return GameReply::success(QJsonObject{{"friends", page}});
        }
        if (action == "get_user_challenges")
            return GameReply::success(QJsonObject{{"challenges", userChallenges(request)}});
        if (action == "accept_challenge") {
            for (qsizetype i = 0; i < challenges.size(); ++i) {
                QJsonObject challenge = challenges[i].toObject();
                if (challenge.value("id") == request.value("challenge_id")) {
                    challenge["state"] = "accepted";
                    challenges[i] = challenge;
                    return GameReply::success(challenge);
                }
            }
            return GameReply::refusal(40, "challenge not found");
        }
        if (action == "create_challenge") {
            const QJsonObject challenge{{"id", 1000 + challenges.size()},
                                        {"state", "pending"},
                                        {"challenger", QJsonObject{{"id", userId}, {"name", userName}}},
                                        {"challenged", QJsonObject{{"id", request.value("challenged_id")}}}};
            challenges.append(challenge);
            return GameReply::success(challenge);
        }
        if (action == "set_data" || action == "set_user_data")
            return setData(request);
        if (action == "get_data" || action == "get_user_data") {
            QJsonObject found;
            const QJsonArray keys = request.value("keys").toArray();
            for (const QJsonValue& name : keys) {
                if (storedData.contains(name.toString()))
                    found[name.toString()] = storedData.value(name.toString());
            }
            return GameReply::success(found);
        }
        return GameReply::success(QJsonObject());
    }

    // The player's challenges of the request's state, as the challenged or the challenger by its filter
    // (either without one).
    QJsonArray userChallenges(const QJsonObject& request) const
    {
        const QString filter = request.value("filter").toString();
        QJsonArray found;
        for (const QJsonValue& value : challenges) {
            const QJsonObject challenge = value.toObject();
            const bool challenged = challenge.value("challenged").toObject().value("id").toInt() == userId;
            const bool challenger = challenge.value("challenger").toObject().value("id").toInt() == userId;
            const bool byFilter = filter == "as_challenged"   ? challenged
                                  : filter == "as_challenger" ? challenger
                                                              : challenged || challenger;
            if (byFilter &&
                (!request.contains("state") || challenge.value("state") == request.value("state")))
                found.append(challenge);
        }
        return found;
    }

    // A write whose client time is not the server's is a conflict: the server keeps its value.
    GameReply setData(const QJsonObject& request)
    {
        const QString key = request.value("key").toString();
        const QJsonObject stored = storedData.value(key);
        if (!stored.isEmpty() &&
            request.value("client_updated_at").toString() != stored.value("updated_at").toString())
            return GameReply::success(QJsonObject{{"key", key},
                                                  {"value", stored.value("value")},
                                                  {"updated_at", stored.value("updated_at")},
                                                  {"conflict", true},
                                                  {"client_value", request.value("value")},
                                                  {"client_updated_at", request.value("client_updated_at")}});
        const QJsonObject written{{"value", request.value("value")}, {"updated_at", nextTime()}};
        storedData[key] = written;
        return GameReply::success(QJsonObject{{"key", key},
                                              {"value", written.value("value")},
                                              {"updated_at", written.value("updated_at")},
                                              {"conflict", false}});
    }

    QString m_secret;
    std::unique_ptr<LoopbackHttpServer> m_http;
    QString m_baseUrl;
    QMap<QString, int> m_lastCounter;
    int m_logins = 0;
    int m_clock = 0;
};
