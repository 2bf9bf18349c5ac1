#pragma once

#include <QWebEngineUrlRequestInterceptor>

#include <functional>

// Offline means offline: while `offline` says so, no request leaves for the
// network, whoever makes it (page, subresource, download). Local files and
// in-memory pages still load.
class OfflineGate : public QWebEngineUrlRequestInterceptor
{
public:
    OfflineGate(std::function<bool()> offline, QObject *parent);

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

    static bool reachesNetwork(const QUrl &url);

private:
    std::function<bool()> m_offline;
};
