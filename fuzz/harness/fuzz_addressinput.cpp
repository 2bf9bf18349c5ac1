// libFuzzer target for AddressInput::interpret. Every input is read twice: as
// UTF-8, and as raw UTF-16 so that lone surrogates and NUL reach the function
// as they would from a pasted or synthesised key event. Besides crashes and
// sanitizer reports, any broken promise of the result aborts the run.

#include "addressinput.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

[[noreturn]] void broken(const char *what, const QString &text, const AddressInput &result)
{
    std::fprintf(stderr,
                 "BROKEN PROMISE: %s\n  input (%lld UTF-16 units, shown escaped): %s\n"
                 "  kind %d, url \"%s\", reason \"%s\"\n",
                 what, static_cast<long long>(text.size()),
                 text.left(200).toUtf8().toPercentEncoding(" :/.?=&@[]").constData(),
                 int(result.kind), result.url.toString().left(200).toUtf8().constData(),
                 result.reason.left(200).toUtf8().constData());
    std::abort();
}

void check(const QString &text)
{
    const AddressInput result = AddressInput::interpret(text);

    if (text.isEmpty() != (result.kind == AddressInput::Nothing))
        broken("Nothing is the answer to empty text, and only to it", text, result);

    switch (result.kind) {
    case AddressInput::Nothing:
        if (!result.url.isEmpty() || !result.reason.isEmpty())
            broken("Nothing carries an address or a reason", text, result);
        break;
    case AddressInput::Load:
        if (!result.url.isValid() || result.url.isEmpty() || result.url.toString().isEmpty())
            broken("Load with an invalid or empty address", text, result);
        if (result.url.scheme().compare(u"javascript", Qt::CaseInsensitive) == 0)
            broken("Load of a javascript: address", text, result);
        if (!result.reason.isEmpty())
            broken("Load with a reason", text, result);
        break;
    case AddressInput::Refused:
        if (result.reason.isEmpty())
            broken("Refused without a reason", text, result);
        if (!result.url.isEmpty())
            broken("Refused with an address", text, result);
        break;
    default:
        broken("a kind that is none of Nothing, Load, Refused", text, result);
    }

    const AddressInput again = AddressInput::interpret(text);
    if (again.kind != result.kind || again.url != result.url || again.reason != result.reason)
        broken("two calls with the same text disagree", text, result);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto *bytes = reinterpret_cast<const char *>(data);
    check(QString::fromUtf8(bytes, qsizetype(size)));

    // memcpy rather than a cast: the fuzzer's buffer need not be aligned for char16_t.
    QString utf16(qsizetype(size / 2), Qt::Uninitialized);
    if (!utf16.isEmpty())
        std::memcpy(utf16.data(), data, size_t(utf16.size()) * sizeof(char16_t));
    check(utf16);
    return 0;
}
