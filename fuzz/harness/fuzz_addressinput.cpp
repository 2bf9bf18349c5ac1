// libFuzzer target for AddressInput::interpret. Every input is read twice: as
// UTF-8, and as raw UTF-16 so that lone surrogates and NUL reach the function
// as they would from a pasted or synthesised key event. Besides crashes and
// sanitizer reports, any broken promise of the result aborts the run.

#include "engine/address/addressinput.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void check(const QString &text)
{
    const AddressInput r = AddressInput::interpret(text);
    const AddressInput again = AddressInput::interpret(text);
    const bool load = r.kind == AddressInput::Load;
    const std::pair<bool, const char *> promises[] = {
        {text.isEmpty() == (r.kind == AddressInput::Nothing), "Nothing is the answer to empty text, and only to it"},
        {load || r.url.isEmpty(), "an address with Nothing or Refused"},
        {(r.kind == AddressInput::Refused) != r.reason.isEmpty(), "a reason with anything but Refused, or none with it"},
        {!load || (r.url.isValid() && !r.url.toString().isEmpty()), "Load of an invalid or empty address"},
        {r.url.scheme().compare(u"javascript", Qt::CaseInsensitive) != 0, "Load of a javascript: address"},
        {again.kind == r.kind && again.url == r.url && again.reason == r.reason, "two calls with the same text disagree"},
    };
    for (const auto &[kept, what] : promises) {
        if (kept)
            continue;
        std::fprintf(stderr, "BROKEN PROMISE: %s\n  input (%lld UTF-16 units, shown escaped): %s\n", what,
                     qlonglong(text.size()), text.left(200).toUtf8().toPercentEncoding(" :/.?=&@[]").constData());
        std::fprintf(stderr, "  kind %d, url \"%s\", reason \"%s\"\n", int(r.kind),
                     r.url.toString().left(200).toUtf8().constData(), r.reason.left(200).toUtf8().constData());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    check(QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)));
    // memcpy rather than a cast: the fuzzer's buffer need not be aligned for char16_t.
    QString utf16(qsizetype(size / 2), Qt::Uninitialized);
    if (!utf16.isEmpty())
        std::memcpy(utf16.data(), data, size_t(utf16.size()) * sizeof(char16_t));
    check(utf16);
    return 0;
}
