#include "processtree.h"
#include "xsession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>

#include <unistd.h>

// The real program under its own virtual X server and window manager: how its
// main window comes onto the screen.
class tst_Startup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void mainWindowIsMappedOnceAndStaysMaximized();

private:
    XSession m_x;
};

namespace {

// Watches the X server for the maps and unmaps of windows captioned `caption`.
class MapWatch
{
public:
    MapWatch(const QString &display, QByteArray caption) : m_caption(std::move(caption))
    {
        m_c = xcb_connect(display.toLocal8Bit().constData(), nullptr);
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_c);
        m_state = atom("_NET_WM_STATE");
        m_maxHorz = atom("_NET_WM_STATE_MAXIMIZED_HORZ");
        m_maxVert = atom("_NET_WM_STATE_MAXIMIZED_VERT");
    }
    ~MapWatch() { xcb_disconnect(m_c); }

    bool ok() const { return !xcb_connection_has_error(m_c); }
    int maps = 0;
    int unmaps = 0;
    int windowsMade = 0;
    xcb_window_t window = XCB_WINDOW_NONE;

    void poll()
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_c)) {
            switch (event->response_type & 0x7f) {
            case XCB_CREATE_NOTIFY: {
                const auto *created = reinterpret_cast<xcb_create_notify_event_t *>(event);
                const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
                xcb_change_window_attributes(m_c, created->window, XCB_CW_EVENT_MASK, &mask);
                xcb_flush(m_c);
                break;
            }
            case XCB_MAP_NOTIFY: {
                const auto *mapped = reinterpret_cast<xcb_map_notify_event_t *>(event);
                if (mapped->event == mapped->window && caption(mapped->window) == m_caption) {
                    if (window != mapped->window)
                        ++windowsMade;
                    window = mapped->window;
                    ++maps;
                }
                break;
            }
            case XCB_UNMAP_NOTIFY: {
                const auto *unmapped = reinterpret_cast<xcb_unmap_notify_event_t *>(event);
                if (unmapped->event == unmapped->window && unmapped->window == window)
                    ++unmaps;
                break;
            }
            default:
                break;
            }
            std::free(event);
        }
    }

    bool maximized()
    {
        bool horz = false;
        bool vert = false;
        xcb_get_property_reply_t *reply = xcb_get_property_reply(
                m_c, xcb_get_property(m_c, 0, window, m_state, XCB_ATOM_ATOM, 0, 32), nullptr);
        if (reply) {
            const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
            for (int i = 0; i < xcb_get_property_value_length(reply) / 4; ++i) {
                horz |= atoms[i] == m_maxHorz;
                vert |= atoms[i] == m_maxVert;
            }
            std::free(reply);
        }
        return horz && vert;
    }

    QSize size()
    {
        QSize result;
        if (xcb_get_geometry_reply_t *g = xcb_get_geometry_reply(
                    m_c, xcb_get_geometry(m_c, window), nullptr)) {
            result = QSize(g->width, g->height);
            std::free(g);
        }
        return result;
    }

private:
    xcb_atom_t atom(const char *name)
    {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
                m_c, xcb_intern_atom(m_c, 0, uint16_t(qstrlen(name)), name), nullptr);
        const xcb_atom_t result = reply ? reply->atom : XCB_ATOM_NONE;
        std::free(reply);
        return result;
    }

    QByteArray caption(xcb_window_t w)
    {
        QByteArray result;
        if (xcb_get_property_reply_t *reply = xcb_get_property_reply(
                    m_c, xcb_get_property(m_c, 0, w, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
                    nullptr)) {
            result = QByteArray(static_cast<const char *>(xcb_get_property_value(reply)),
                                xcb_get_property_value_length(reply));
            std::free(reply);
        }
        return result;
    }

    xcb_connection_t *m_c = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    QByteArray m_caption;
    xcb_atom_t m_state = XCB_ATOM_NONE;
    xcb_atom_t m_maxHorz = XCB_ATOM_NONE;
    xcb_atom_t m_maxVert = XCB_ATOM_NONE;
};

bool engineHelperRuns(qint64 pid)
{
    const QList<qint64> children = descendantsOf(pid);
    for (qint64 child : children) {
        QFile comm(QStringLiteral("/proc/%1/comm").arg(child));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().startsWith("QtWebEngineProc"))
            return true;
    }
    return false;
}

} // namespace

void tst_Startup::initTestCase()
{
    QString why;
    if (!m_x.start(&why))
        QFAIL(qPrintable(why));
}

void tst_Startup::cleanupTestCase()
{
    m_x.stop();
}

void tst_Startup::mainWindowIsMappedOnceAndStaysMaximized()
{
    MapWatch watch(m_x.display(), "Ovo");
    QVERIFY(watch.ok());

    QProcess browser;
    browser.setProcessEnvironment(m_x.environment());
    browser.start(QStringLiteral(VELT_BROWSER_PATH), {});
    QVERIFY(browser.waitForStarted());

    QVERIFY(QTest::qWaitFor([&] { watch.poll(); return watch.maps > 0; }, 20000));
    // The engine starts after the first paint; the window must come through that unharmed.
    QVERIFY(QTest::qWaitFor([&] { return engineHelperRuns(browser.processId()); }, 20000));
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 1500) {
        watch.poll();
        QTest::qWait(20);
    }
    watch.poll();

    QCOMPARE(watch.windowsMade, 1);
    QCOMPARE(watch.maps, 1);
    QCOMPARE(watch.unmaps, 0);
    QVERIFY(watch.maximized());
    QCOMPARE(watch.size(), QSize(1024, 768));
    QCOMPARE(browser.state(), QProcess::Running);

    browser.terminate();
    QVERIFY(browser.waitForFinished(10000));
    const QByteArray errors = browser.readAllStandardError();
    if (geteuid() == 0)
        QCOMPARE(errors.count("web engine's sandbox is off"), 1);
    else
        QCOMPARE(errors.count("sandbox is off"), 0);
}

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
