#pragma once

class QWebEngineProfile;
class QWebEngineUrlRequestInterceptor;

// What sites expect of the browser, given to its profile:
// - the engine's own user agent without the framework's "QtWebEngine/<version>" token, which
//   sites take for an unknown browser; the engine's Chromium version stays, in every request
//   and in navigator.userAgent;
// - a page copies to the clipboard (clipboard.writeText, clipboard.write with text,
//   execCommand('copy')) only while the user clicks or types in it, and reads it by script
//   never: the user's own paste is the only way in.
// Every request passes `requests` (the offline gate) first.
void prepareForSites(QWebEngineProfile *profile, QWebEngineUrlRequestInterceptor *requests);
