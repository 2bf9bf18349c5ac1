#include "addressinput.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringView>

#include <algorithm>
#include <array>

namespace {

// Schemes that are taken as naming a scheme even without "//" after the colon.
// Anything else of the form "word:rest" may well be "host:port".
constexpr std::array kKnownSchemes{
    u"http", u"https", u"file", u"ftp", u"about", u"data", u"view-source", u"blob",
    u"javascript", u"ws", u"wss", u"mailto", u"chrome", u"qrc", u"filesystem",
};

// Schemes that reach the network; their addresses must name a host.
constexpr std::array kNetworkSchemes{u"http", u"https", u"ftp", u"ws", u"wss"};

constexpr int kMaxHostLength = 253;

template <typename List>
bool listed(const List &list, QStringView name)
{
    return std::any_of(list.begin(), list.end(),
                       [name](const char16_t *entry) { return name == QStringView(entry); });
}

AddressInput refused(const QString &reason)
{
    return {AddressInput::Refused, {}, reason};
}

// QUrl's error text quotes the whole input, which may be megabytes long.
QString urlProblem(const QUrl &url)
{
    const QString error = url.errorString();
    const qsizetype source = error.indexOf(QLatin1String("; source was"));
    return QStringLiteral("it is not a valid address (%1).")
            .arg(source >= 0 ? error.left(source) : error.left(200));
}

bool hasControlCharacter(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return u < 0x20 || (u >= 0x7f && u <= 0x9f);
    });
}

AddressInput checked(const QUrl &url)
{
    if (!url.isValid() || url.isEmpty())
        return refused(urlProblem(url));
    // What the engine will be handed must hold up to the strict rules too.
    const QUrl strict(QString::fromLatin1(url.toEncoded()), QUrl::StrictMode);
    if (!strict.isValid())
        return refused(urlProblem(strict));
    const QString scheme = url.scheme();
    if (scheme == u"javascript")
        return refused(QStringLiteral("scripts are not run from the address box."));
    if (isNetworkScheme(scheme)) {
        const QString host = url.host(QUrl::FullyEncoded);
        if (host.isEmpty())
            return refused(QStringLiteral("it names no host."));
        if (host.size() > kMaxHostLength)
            return refused(QStringLiteral("its host name is longer than %1 characters.")
                                   .arg(kMaxHostLength));
    }
    return {AddressInput::Load, url, {}};
}

} // namespace

AddressInput AddressInput::interpret(const QString &text)
{
    if (text.isEmpty())
        return {};
    if (text.size() > kMaxAddressLength)
        return refused(QStringLiteral("it is longer than the %1 characters an address may have.")
                               .arg(kMaxAddressLength));
    if (!text.isValidUtf16())
        return refused(QStringLiteral("it holds characters that are not valid text."));
    if (hasControlCharacter(text))
        return refused(QStringLiteral("it holds control characters."));

    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return refused(QStringLiteral("it is blank."));

    if (trimmed.startsWith(u'/'))
        return checked(QUrl::fromLocalFile(QDir::cleanPath(trimmed)));

    static const QRegularExpression schemePrefix(QStringLiteral("^([A-Za-z][A-Za-z0-9+.\\-]*):"));
    const QRegularExpressionMatch match = schemePrefix.match(trimmed);
    if (match.hasMatch()) {
        const QString scheme = match.captured(1).toLower();
        const bool namesScheme = listed(kKnownSchemes, scheme)
                || QStringView(trimmed).mid(match.capturedEnd()).startsWith(u"//");
        if (namesScheme)
            return checked(QUrl(trimmed, QUrl::TolerantMode));
    }

    // Typed without a scheme ("example.com", "localhost:8080/x"): read it the way
    // a browser's address bar does, then hold the result to the strict rules.
    const QUrl guessed = QUrl::fromUserInput(trimmed);
    if (!guessed.isValid() || guessed.isEmpty())
        return refused(QStringLiteral("it is not an address."));
    return checked(guessed);
}

bool isNetworkScheme(QStringView scheme)
{
    return listed(kNetworkSchemes, scheme);
}
