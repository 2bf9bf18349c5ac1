#pragma once

#include <QHash>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

// A tiny HTTP/1.0 server on 127.0.0.1: serves fixed pages, counts the requests
// for each path and can hold a path's answers until it is released.
class HttpServer : public QObject
{
    Q_OBJECT
public:
    HttpServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        m_server.listen(QHostAddress::LocalHost, 0);
    }

    bool isListening() const { return m_server.isListening(); }
    QUrl url(const QString &path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
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
        if (m_held.contains(path))
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
        socket->write((found ? "HTTP/1.0 200 OK" : "HTTP/1.0 404 Not Found") + QByteArray("\r\nContent-Type: ") + type
                      + "\r\nCache-Control: no-store\r\nContent-Length: " + QByteArray::number(body.size())
                      + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QString, std::pair<QByteArray, QByteArray>> m_pages; // body, type
    QHash<QString, QList<QPointer<QTcpSocket>>> m_held;
    QHash<QString, int> m_hits;
    int m_total = 0;
};
