#pragma once

#include <QDir>
#include <QFile>
#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

// Serves the files under one folder on 127.0.0.1, over HTTP/1.0, one request a
// connection, as a plain static server would: the engine may keep what a page
// uses (style sheets, scripts, pictures) for an hour, so that once warm a load
// fetches the page itself and takes the rest from the engine's memory cache.
// Links out of the folder (a documentation package's links to shared scripts)
// are followed.
class FileServer : public QObject
{
public:
    explicit FileServer(QString root, QObject *parent = nullptr)
        : QObject(parent), m_root(std::move(root))
    {
        connect(&m_server, &QTcpServer::newConnection, this, &FileServer::accept);
        m_server.listen(QHostAddress::LocalHost, 0);
    }

    bool isListening() const { return m_server.isListening(); }
    QUrl url(const QString &path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/%2").arg(m_server.serverPort()).arg(path));
    }

private:
    void accept()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QObject::destroyed, this, [this, socket] { m_buffers.remove(socket); });
        }
    }

    void read(QTcpSocket *socket)
    {
        QByteArray &buffer = m_buffers[socket];
        buffer += socket->readAll();
        if (!buffer.contains("\r\n\r\n"))
            return;
        const QList<QByteArray> request = buffer.left(buffer.indexOf("\r\n")).split(' ');
        m_buffers.remove(socket);
        const QString path = request.size() > 1
                ? QDir::cleanPath(QUrl(QString::fromLatin1(request[1])).path())
                : QString();
        QFile file(m_root + path);
        QByteArray response;
        if (!path.startsWith(u'/') || path.contains(QLatin1String("..")) || !file.open(QIODevice::ReadOnly)) {
            response = "HTTP/1.0 404 Not Found\r\nContent-Type: text/plain\r\n"
                       "Content-Length: 9\r\nConnection: close\r\n\r\nnot found";
        } else {
            const QByteArray body = file.readAll();
            response = "HTTP/1.0 200 OK\r\nContent-Type: " + typeOf(path)
                    + "\r\nCache-Control: max-age=3600\r\nContent-Length: "
                    + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
        }
        socket->write(response);
        socket->disconnectFromHost();
    }

    static QByteArray typeOf(const QString &path)
    {
        static const QHash<QString, QByteArray> types{
                {QStringLiteral("html"), "text/html; charset=utf-8"},
                {QStringLiteral("css"), "text/css"},
                {QStringLiteral("js"), "text/javascript"},
                {QStringLiteral("json"), "application/json"},
                {QStringLiteral("png"), "image/png"},
                {QStringLiteral("svg"), "image/svg+xml"},
                {QStringLiteral("xml"), "application/xml"},
        };
        return types.value(path.section(u'.', -1), "application/octet-stream");
    }

    QString m_root;
    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_buffers;
};
