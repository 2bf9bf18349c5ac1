#include "offlinegate.h"

#include "engine/address/addressinput.h"

OfflineGate::OfflineGate(std::function<bool()> offline, QObject *parent)
    : QWebEngineUrlRequestInterceptor(parent), m_offline(std::move(offline))
{
}

bool OfflineGate::reachesNetwork(const QUrl &url)
{
    return isNetworkScheme(url.scheme());
}

void OfflineGate::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    if (m_offline() && reachesNetwork(info.requestUrl()))
        info.block(true);
}
