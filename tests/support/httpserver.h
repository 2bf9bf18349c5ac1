#pragma once

#include <QHash>
#include <QPointer>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <functional>

// A tiny HTTP/1.1 server on 127.0.0.1 (TLS when given a QSslServer the test has set
// up): serves fixed pages, or what `reply` sends, counts the requests for each path
// and can hold a path's answers until it is released.
class HttpServer : public QObject
{
    Q_OBJECT
public:
    explicit HttpServer(QTcpServer *server = new QTcpServer) : m_server(server)
    {
        m_server->setParent(this);
        connect(m_server, &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket *socket = m_server->nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        m_server->listen(QHostAddress::LocalHost, 0);
    }

    // Answers every request instead of the fixed pages when set.
    std::function<void(QTcpSocket *, const QString &path, const QByteArray &request)> reply;

    QTcpServer *server() const { return m_server; }
    QUrl url(const QString &path) const
    {
        return QUrl(QStringLiteral("%1://127.0.0.1:%2%3")
                            .arg(qobject_cast<QSslServer *>(m_server) ? "https" : "http")
                            .arg(m_server->serverPort())
                            .arg(path));
    }
    void setPage(const QString &path, const QByteArray &body, const QByteArray &type = "text/html; charset=utf-8")
    {
        m_pages.insert(path, {body, type});
    }
    void hold(const QString &path) { m_held.insert(path, {}); }
    void release(const QString &path)
    {
        for (const QPointer<QTcpSocket> &socket : m_held.take(path))
            answer(socket, path);
    }
    int hits(const QString &path) const { return m_hits.value(path); }
    int totalHits() const { return m_total; }

    // Closes once the whole body is sent; with a larger length announced, stays open.
    static void send(QTcpSocket *socket, const QByteArray &status, const QByteArray &headers,
                     const QByteArray &body, qint64 announced = -1)
    {
        socket->write("HTTP/1.1 " + status + "\r\nConnection: close\r\nCache-Control: no-store\r\nContent-Length: "
                      + QByteArray::number(announced < 0 ? body.size() : announced) + "\r\n" + headers + "\r\n"
                      + body);
        if (announced < 0)
            socket->disconnectFromHost();
    }

private:
    void read(QTcpSocket *socket)
    {
        // Answered once the request's head is in; its first line names the path.
        const QByteArray request = socket->property("request").toByteArray() + socket->readAll();
        socket->setProperty("request", request);
        if (!request.contains("\r\n\r\n"))
            return;
        const QString path = QUrl(QString::fromLatin1(request.split(' ').value(1))).path();
        ++m_hits[path];
        ++m_total;
        if (reply)
            reply(socket, path, request);
        else if (m_held.contains(path))
            m_held[path].append(socket);
        else
            answer(socket, path);
    }
    void answer(QTcpSocket *socket, const QString &path)
    {
        if (!socket)
            return;
        const bool found = m_pages.contains(path);
        const auto [body, type] = m_pages.value(path, {"not found", "text/html"});
        send(socket, found ? "200 OK" : "404 Not Found", "Content-Type: " + type + "\r\n", body);
    }

    QTcpServer *m_server;
    QHash<QString, std::pair<QByteArray, QByteArray>> m_pages; // body, type
    QHash<QString, QList<QPointer<QTcpSocket>>> m_held;
    QHash<QString, int> m_hits;
    int m_total = 0;
};
