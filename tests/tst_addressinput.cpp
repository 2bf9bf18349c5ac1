#include "engine/address/addressinput.h"

#include <QTest>

// The address box's rules, as the engine applies them to the typed text.
class tst_AddressInput : public QObject
{
    Q_OBJECT
private slots:
    void interpret_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("url"); // expected address when loaded

        const int load = AddressInput::Load;
        const int refused = AddressInput::Refused;

        QTest::newRow("host and port") << "localhost:8080" << load << "http://localhost:8080";
        QTest::newRow("host, port, path") << "127.0.0.1:81/a?b=c" << load << "http://127.0.0.1:81/a?b=c";
        QTest::newRow("scheme in capitals") << "HTTP://Example.COM/" << load << "http://example.com/";
        QTest::newRow("surrounding blanks") << "  example.com  " << load << "http://example.com";
        QTest::newRow("ipv6") << "http://[::1]:8080/" << load << "http://[::1]:8080/";
        QTest::newRow("path with dots") << "/tmp/a/../page.html" << load << "file:///tmp/page.html";
        QTest::newRow("file url") << "file:///etc/hostname" << load << "file:///etc/hostname";
        QTest::newRow("data") << "data:text/html,<b>x</b>" << load << "data:text/html,%3Cb%3Ex%3C/b%3E";

        QTest::newRow("unclosed ipv6") << "http://[::1" << refused << "";
        QTest::newRow("no host") << "http://" << refused << "";
        QTest::newRow("space in host") << "http://exa mple.com/" << refused << "";
        QTest::newRow("blank") << "   " << refused << "";
        QTest::newRow("tab") << "example.com\t" << refused << "";
        QTest::newRow("c1 control") << QString::fromUtf16(u"exa\u0085mple.com") << refused << "";
        QTest::newRow("lone high surrogate") << QString(QChar(0xd800)) + "x.com" << refused << "";
        QTest::newRow("words") << "hello world" << refused << "";
        QTest::newRow("host too long") << "http://" + QString(300, 'a') + ".com/" << refused << "";
        QTest::newRow("schemeless host too long") << QString(300, 'a') + ".com" << refused << "";
        QTest::newRow("too long") << "http://a.com/" + QString(kMaxAddressLength, 'x') << refused << "";
    }
    void interpret()
    {
        QFETCH(QString, text);
        QFETCH(int, kind);
        QFETCH(QString, url);

        const AddressInput result = AddressInput::interpret(text);
        QCOMPARE(int(result.kind), kind);
        QCOMPARE(result.url.toString(), url); // none unless loaded
        QCOMPARE(result.reason.isEmpty(), kind != AddressInput::Refused);
    }
};

QTEST_APPLESS_MAIN(tst_AddressInput)
#include "tst_addressinput.moc"
