#pragma once

#include <QString>

#include <functional>

class QObject;
class QWebEngineProfile;

// The browser's profile: off the record (nothing of it is written to disk), with
// the offline gate, made ready for sites (see siteaccess.h), and with a watcher in
// every subframe that reports the end of the frame's load on the console with
// `frameToken`, a token that pages cannot know, so that frame loads count as
// downloads too.
QWebEngineProfile *makeEngineProfile(std::function<bool()> offline, const QString &frameToken,
                                     QObject *parent);
