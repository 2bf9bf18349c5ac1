#include "engineprofile.h"

#include "offlinegate.h"
#include "siteaccess.h"

#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace {

QString frameWatchScript(const QString &token)
{
    return QStringLiteral(
                   "(function () {"
                   "  if (window === window.top) return;"
                   "  var done = function () { console.debug('%1'); };"
                   "  if (document.readyState === 'complete') done();"
                   "  else window.addEventListener('load', done, { once: true });"
                   "})();")
            .arg(token);
}

} // namespace

QWebEngineProfile *makeEngineProfile(std::function<bool()> offline, const QString &frameToken,
                                     QObject *parent)
{
    // No storage name: off the record.
    auto *profile = new QWebEngineProfile(parent);
    profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    profile->setSpellCheckEnabled(false);
    prepareForSites(profile, new OfflineGate(std::move(offline), profile));

    QWebEngineScript frameWatch;
    frameWatch.setName(QStringLiteral("frame-load-watch"));
    frameWatch.setSourceCode(frameWatchScript(frameToken));
    frameWatch.setInjectionPoint(QWebEngineScript::DocumentReady);
    frameWatch.setWorldId(QWebEngineScript::ApplicationWorld);
    frameWatch.setRunsOnSubFrames(true);
    profile->scripts()->insert(frameWatch);
    return profile;
}
