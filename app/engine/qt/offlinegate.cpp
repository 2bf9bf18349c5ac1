#include "offlinegate.h"

OfflineGate::OfflineGate(std::function<bool()> offline, QObject *parent)
    : QWebEngineUrlRequestInterceptor(parent), m_offline(std::move(offline))
{
}

bool OfflineGate::reachesNetwork(const QUrl &url)
{
    const QString scheme = url.scheme();
    return scheme == u"http" || scheme == u"https" || scheme == u"ws" || scheme == u"wss"
            || scheme == u"ftp";
}

void OfflineGate::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    if (m_offline() && reachesNetwork(info.requestUrl()))
        info.block(true);
}
