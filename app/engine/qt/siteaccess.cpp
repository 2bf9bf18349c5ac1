#include "siteaccess.h"

#include <QRegularExpression>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

namespace {

QString siteUserAgent(const QString &engineUserAgent)
{
    static const QRegularExpression frameworkToken(QStringLiteral("\\s*QtWebEngine/\\S+"));
    return QString(engineUserAgent).remove(frameworkToken).trimmed();
}

// Workers that belong to no page (shared and service workers) send the engine's own user
// agent, token and all, unless the request is given the site's one here.
class SiteRequests : public QWebEngineUrlRequestInterceptor
{
public:
    SiteRequests(QWebEngineUrlRequestInterceptor *first, const QString &userAgent, QObject *parent)
        : QWebEngineUrlRequestInterceptor(parent), m_first(first), m_userAgent(userAgent.toLatin1())
    {
    }

    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        m_first->interceptRequest(info);
        info.setHttpHeader("User-Agent", m_userAgent);
    }

private:
    QWebEngineUrlRequestInterceptor *m_first;
    QByteArray m_userAgent;
};

// The engine grants clipboard.writeText only with JavascriptCanAccessClipboard on, and then
// with or without the user's click, from any timer of a focused page (and execCommand('copy')
// too). With it off, execCommand('copy') works only on the user's click or key (and for the
// engine's few seconds of user activation after it). So it stays off, and the page's writes go
// through that copy: a page that reaches past this script finds the engine's own writeText,
// which refuses.
constexpr char kCopyOnUserAction[] = R"(
(function () {
  if (typeof Clipboard !== 'function') return; // not a secure context: no clipboard API
  const apply = Reflect.apply, execCommand = Document.prototype.execCommand, doc = document;
  let copying = null;
  addEventListener('copy', (event) => {
    if (!copying) return;
    for (const [type, data] of copying) event.clipboardData.setData(type, data);
    event.preventDefault();
    event.stopImmediatePropagation();
  }, true);
  const copy = (items) => {
    copying = items;
    try { return apply(execCommand, doc, ['copy']); } finally { copying = null; }
  };
  const refused = () => new DOMException('Write permission denied.', 'NotAllowedError');
  const writes = {
    writeText(text) {
      return copy([['text/plain', String(text)]]) ? Promise.resolve() : Promise.reject(refused());
    },
    async write(items) {
      const copied = [];
      for (const item of items) {
        for (const type of item.types) {
          if (type !== 'text/plain' && type !== 'text/html') throw refused();
          copied.push([type, await (await item.getType(type)).text()]);
        }
      }
      if (!copy(copied)) throw refused();
    },
  };
  Clipboard.prototype.writeText = writes.writeText;
  Clipboard.prototype.write = writes.write;
})();
)";

} // namespace

void prepareForSites(QWebEngineProfile *profile, QWebEngineUrlRequestInterceptor *requests)
{
    const QString userAgent = siteUserAgent(profile->httpUserAgent());
    profile->setHttpUserAgent(userAgent);
    profile->setUrlRequestInterceptor(new SiteRequests(requests, userAgent, profile));

    profile->settings()->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    profile->settings()->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
    QWebEngineScript copyScript;
    copyScript.setName(QStringLiteral("copy-on-user-action"));
    copyScript.setSourceCode(QString::fromLatin1(kCopyOnUserAction));
    copyScript.setInjectionPoint(QWebEngineScript::DocumentCreation);
    copyScript.setWorldId(QWebEngineScript::MainWorld);
    copyScript.setRunsOnSubFrames(true);
    profile->scripts()->insert(copyScript);
}
