#pragma once

#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

// A tiny HTTP/1.0 server on 127.0.0.1 for tests that drive the real engine:
// it serves fixed pages, counts requests per path and can hold a page's answer
// until the test releases it.
class HttpServer : public QObject
{
    Q_OBJECT
public:
    explicit HttpServer(QObject *parent = nullptr) : QObject(parent)
    {
        connect(&m_server, &QTcpServer::newConnection, this, &HttpServer::accept);
        m_server.listen(QHostAddress::LocalHost, 0);
    }

    bool isListening() const { return m_server.isListening(); }
    QUrl url(const QString &path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }

    void setPage(const QString &path, const QByteArray &body,
                 const QByteArray &type = "text/html; charset=utf-8")
    {
        m_pages.insert(path, {body, type});
    }
    void hold(const QString &path) { m_held.insert(path, {}); }
    void release(const QString &path)
    {
        const QList<QPointer<QTcpSocket>> waiting = m_held.take(path);
        for (const QPointer<QTcpSocket> &socket : waiting) {
            if (socket)
                answer(socket, path);
        }
    }
    int hits(const QString &path) const { return m_hits.value(path); }
    int totalHits() const { return m_total; }

signals:
    void requested(const QString &path);

private:
    struct Page
    {
        QByteArray body;
        QByteArray type;
    };

    void accept()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    void read(QTcpSocket *socket)
    {
        QByteArray &buffer = m_buffers[socket];
        buffer += socket->readAll();
        if (!buffer.contains("\r\n\r\n"))
            return;
        const QList<QByteArray> requestLine = buffer.left(buffer.indexOf("\r\n")).split(' ');
        m_buffers.remove(socket);
        const QString path = requestLine.size() > 1
                ? QUrl(QString::fromLatin1(requestLine[1])).path()
                : QString();
        ++m_hits[path];
        ++m_total;
        emit requested(path);
        if (m_held.contains(path))
            m_held[path].append(socket);
        else
            answer(socket, path);
    }

    void answer(QTcpSocket *socket, const QString &path)
    {
        const auto page = m_pages.constFind(path);
        QByteArray response;
        if (page == m_pages.cend()) {
            response = "HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\n"
                       "Content-Length: 9\r\nConnection: close\r\n\r\nnot found";
        } else {
            response = "HTTP/1.0 200 OK\r\nContent-Type: " + page->type
                    + "\r\nCache-Control: no-store\r\nContent-Length: "
                    + QByteArray::number(page->body.size()) + "\r\nConnection: close\r\n\r\n"
                    + page->body;
        }
        socket->write(response);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QString, Page> m_pages;
    QHash<QString, QList<QPointer<QTcpSocket>>> m_held;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    QHash<QString, int> m_hits;
    int m_total = 0;
};
