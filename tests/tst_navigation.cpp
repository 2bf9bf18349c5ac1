#include "engine/qt/navigation.h"

#include <QTest>

// The navigation machine on its own: each row plays the engine's events in one order and
// reads what the machine asked of the engine, and where it ended up.
class tst_Navigation : public QObject, private Navigation::Engine
{
    Q_OBJECT
    QStringList m_calls;
    bool m_asking = false;
    bool m_renderer = true;

    void navigate(const std::function<void()> &go) override
    {
        m_calls << "go";
        go();
    }
    void arrived() override { m_calls << "arrived"; }
    bool asking() const override { return m_asking; }
    void probe(int probe) override { m_calls << "probe" + QString::number(probe); }
    bool endRenderer() override
    {
        m_calls << "kill";
        return m_renderer;
    }
    void startWatch(int) override { m_calls << "watch"; }
    void stopWatch() override { m_calls << "unwatch"; }
    void ended() override { m_calls << "ended"; }

private slots:
    void events_data();
    void events();
};

using State = Navigation::State;

void tst_Navigation::events_data()
{
    QTest::addColumn<QString>("events");
    QTest::addColumn<QString>("calls");
    QTest::addColumn<State>("state");

    // Events: load/back/reload (the user asks), accept:<kind>[:url], doc:<url>, end:<url>[:loading],
    // same[:loading], answer:<probe>, expire, gone, stop[:loading], asking, norenderer.
    // Calls: go (the navigation is made), probeN, watch, unwatch, arrived, ended, kill.
    const QString ask1 = "go probe1 watch ", ask2 = "go probe2 watch ", done = "unwatch arrived ended";
    QTest::newRow("typed, taken, begun, ended")
            << "load:/a accept:load:/a doc:/a end:/a" << ask1 + "unwatch arrived " + done << State::Idle;
    QTest::newRow("taken, still loading at an end")
            << "load:/a accept:load:/a doc:/a end:/a:loading" << ask1 + "unwatch arrived" << State::Committed;
    QTest::newRow("took over a load under way: ended without a start") << "load:/a end:/a" << ask1 + done << State::Idle;
    QTest::newRow("the page's own load ends first") << "load:/a end:/b" << ask1 + "ended" << State::Asked;
    QTest::newRow("the page's own load ends while the engine goes on") << "load:/a end:/a:loading" << ask1 + "ended" << State::Asked;
    QTest::newRow("a navigation of another kind is not the user's") << "back accept:reload" << ask1 << State::Asked;
    QTest::newRow("taken by its address, of another kind")
            << "load:/a accept:history:/a end:/redirected" << ask1 + done << State::Idle;
    QTest::newRow("a page's document that was on its way takes the frame: loaded again")
            << "load:/a accept:load:/a doc:/b" << ask1 + ask2.trimmed() << State::Asked;
    QTest::newRow("... and Back is not made again") << "back accept:history:/k doc:/b" << ask1 << State::Begun;
    QTest::newRow("a redirect of the user's load is the user's")
            << "load:/a accept:load:/a accept:other:/r doc:/r end:/r" << ask1 + "unwatch arrived " + done << State::Idle;
    QTest::newRow("the page's own document before the user's is taken") << "load:/a doc:/b" << ask1 << State::Asked;
    QTest::newRow("Back within the document") << "back same" << ask1 + done << State::Idle;
    QTest::newRow("a new address while loading is no same-document step") << "back same:loading" << ask1 << State::Asked;
    QTest::newRow("a new address after the start is part of the load") << "reload accept:reload same" << ask1 << State::Begun;
    QTest::newRow("never reported, renderer alive") << "reload answer:1 expire" << ask1 + done << State::Idle;
    QTest::newRow("taken, renderer alive, a slow server") << "load:/a accept:load answer:1 expire" << ask1 << State::Begun;
    QTest::newRow("page will not let go: renderer ended, made again")
            << "load:/a expire gone" << ask1 + "kill " + ask2 << State::Asked;
    QTest::newRow("taken, but the page will not let go")
            << "load:/a accept:load expire gone" << ask1 + "kill " + ask2 << State::Asked;
    QTest::newRow("made again at most twice") << "load:/a expire gone expire gone expire gone"
                                              << ask1 + "kill " + ask2 + "kill go probe3 watch kill " + done
                                              << State::Idle;
    QTest::newRow("no renderer to end: the engine let it go") << "load:/a norenderer expire" << ask1 + "kill " + done
                                                               << State::Idle;
    QTest::newRow("an answer to an earlier probe does not count")
            << "load:/a load:/b answer:1 expire" << ask1 + ask2 + "kill" << State::Ending;
    QTest::newRow("the page asks to be left: the user decides") << "load:/a asking expire" << ask1 + "watch" << State::Asked;
    QTest::newRow("loads of the renderer being ended are not the user's")
            << "load:/a expire end:/a" << ask1 + "kill" << State::Ending;
    QTest::newRow("Stop before the start") << "load:/a stop" << ask1 + done << State::Idle;
    QTest::newRow("Stop while loading: the engine reports the end")
            << "load:/a accept:load stop:loading end:/a" << ask1 + "unwatch arrived ended" << State::Idle;
    QTest::newRow("Stop while the renderer is ended: not made again")
            << "load:/a expire stop gone" << ask1 + "kill " + done << State::Idle;
    QTest::newRow("Stop when idle") << "stop" << "" << State::Idle;
    QTest::newRow("Stop after the document began")
            << "load:/a accept:load:/a doc:/a stop:loading end:/a" << ask1 + "unwatch arrived unwatch arrived ended" << State::Idle;
    QTest::newRow("renderer crashed before the engine took it") << "load:/a gone" << ask1 + done << State::Idle;
    QTest::newRow("renderer crashed while loading") << "load:/a accept:load gone" << ask1 + done << State::Idle;
    QTest::newRow("renderer crashed when idle, then a load of the page's ends") << "gone end:/b" << "ended" << State::Idle;
    QTest::newRow("a new ask while loading") << "load:/a accept:load load:/b" << ask1 + ask2.trimmed() << State::Asked;
    QTest::newRow("events after the end change nothing")
            << "load:/a end:/a accept:load:/a doc:/a same expire answer:1" << ask1 + done << State::Idle;
}

void tst_Navigation::events()
{
    QFETCH(QString, events);
    QFETCH(QString, calls);
    QFETCH(State, state);
    Navigation machine(*this);
    m_asking = false;
    m_renderer = true;
    m_calls.clear();
    using Kind = Navigation::Kind;
    const QHash<QString, Kind> kinds{{"load", Kind::Load}, {"back", Kind::History}, {"history", Kind::History}, {"reload", Kind::Reload}};
    const auto kind = [&](const QString &name) { return kinds.value(name, Kind::Other); };
    const auto url = [](const QString &path) { return QUrl(path.startsWith('/') ? "http://127.0.0.1" + path : QString()); };
    const auto ask = [&](const QStringList &e) { machine.asked(kind(e[0]), url(e.value(1)), [] {}); };
    const QHash<QString, std::function<void(const QStringList &)>> play{
            {"load", ask}, {"back", ask}, {"reload", ask},
            {"accept", [&](const QStringList &e) { machine.accepted(QUrl("http://127.0.0.1" + e.value(2)), kind(e[1])); }},
            {"doc", [&](const QStringList &e) { machine.documentStarted(url(e.value(1))); }},
            {"end", [&](const QStringList &e) { machine.loadEnded(url(e.value(1)), e.last() == "loading"); }},
            {"same", [&](const QStringList &e) { machine.sameDocument(e.last() == "loading"); }},
            {"answer", [&](const QStringList &e) { machine.rendererAnswered(e[1].toInt()); }},
            {"expire", [&](const QStringList &) { machine.watchExpired(); }},
            {"gone", [&](const QStringList &) { machine.rendererEnded(); }},
            {"stop", [&](const QStringList &e) { machine.stopped(e.last() == "loading"); }},
            {"asking", [&](const QStringList &) { m_asking = true; }},
            {"norenderer", [&](const QStringList &) { m_renderer = false; }}};
    for (const QString &event : events.split(' ')) {
        const QStringList part = event.split(':');
        QVERIFY2(play.contains(part[0]), qPrintable("unknown event " + event));
        play[part[0]](part);
    }
    QCOMPARE(m_calls.join(' '), calls.trimmed());
    QCOMPARE(machine.state(), state);
}

QTEST_GUILESS_MAIN(tst_Navigation)
#include "tst_navigation.moc"
