#pragma once

#include <QString>
#include <QStringView>
#include <QUrl>

// What the engine makes of text typed into the address box. Kept free of any
// engine or widget so that it can be tested and fuzzed on its own.
struct AddressInput
{
    enum Kind {
        Nothing, // empty text: nothing to load, and not a failure
        Load,    // load `url`
        Refused  // not an address; `reason` says why, in words for the user
    };

    Kind kind = Nothing;
    QUrl url;
    QString reason;

    static AddressInput interpret(const QString &text);
};

// Schemes whose addresses reach the network, and so must name a host: these are
// what an address typed in needs a host for, and what working offline holds back.
bool isNetworkScheme(QStringView scheme);

// Longest text taken as an address; the engine drops longer URLs itself.
inline constexpr qsizetype kMaxAddressLength = 2 * 1024 * 1024;
