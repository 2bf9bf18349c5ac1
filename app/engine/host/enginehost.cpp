#include "enginehost.h"

#include "engineprocess.h"

#include <QCoreApplication>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLibrary>
#include <QTimer>

EngineHost::EngineHost(Factory factory, QWidget *parent)
    : WebBrowser(parent), m_factory(std::move(factory))
{
}

QString EngineHost::defaultModulePath()
{
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QString name = QStringLiteral(VELT_ENGINE_FILE_NAME);
    if (programDir.exists(name))
        return programDir.filePath(name);
    // Installed, the module lies where the install put it relative to the program,
    // so that an installed tree works from wherever it was installed to.
    return QDir(programDir.filePath(QStringLiteral(VELT_ENGINE_DIR_FROM_PROGRAM))).filePath(name);
}

EngineHost::Factory EngineHost::moduleFactory(const QString &modulePath, PageServices *services)
{
    return [modulePath, services](QWidget *parent, QString *error) -> WebBrowser * {
        if (!engineStartProblem().isEmpty()) {
            *error = engineStartProblem();
            return nullptr;
        }
        QLibrary module(modulePath);
        using Create = WebBrowser *(*)(QWidget *, PageServices *);
        const auto create = reinterpret_cast<Create>(module.resolve("velt_create_engine"));
        if (!create) {
            *error = QStringLiteral("the web engine could not be loaded (%1).").arg(module.errorString());
            return nullptr;
        }
        return create(parent, services);
    };
}

void EngineHost::paintEvent(QPaintEvent *)
{
    // Right after the first paint: the window is already on the screen.
    if (!m_tried && !m_startQueued) {
        m_startQueued = true;
        QTimer::singleShot(0, this, &EngineHost::ensureEngine);
    }
}

bool EngineHost::ensureEngine()
{
    if (m_tried)
        return m_engine != nullptr;
    m_tried = true;
    // Whatever comes, the engine or the notice why there is none, fills the control.
    auto *fill = new QGridLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    m_engine = m_factory(this, &m_error);
    if (!m_engine) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("the web engine could not be loaded.");
        m_failure = new QLabel(QStringLiteral("Velt Browser cannot show pages: ") + m_error, this);
        m_failure->setObjectName(QStringLiteral("engineFailure"));
        m_failure->setWordWrap(true);
        m_failure->setAlignment(Qt::AlignCenter);
        fill->addWidget(m_failure, 0, 0);
        m_failure->show();
        return false;
    }
    fill->addWidget(m_engine, 0, 0);
    if (m_offline)
        m_engine->setOffline(true); // an engine starts online
    connect(m_engine, &WebBrowser::DownloadComplete, this, &WebBrowser::DownloadComplete);
    connect(m_engine, &WebBrowser::loadStarted, this, &WebBrowser::loadStarted);
    connect(m_engine, &WebBrowser::findFinished, this, &WebBrowser::findFinished);
    const bool focused = hasFocus();
    setFocusProxy(m_engine);
    m_engine->show();
    if (focused)
        m_engine->setFocus();
    return true;
}

template <typename Operation>
bool EngineHost::forward(Operation operation)
{
    return ensureEngine() && operation(m_engine);
}

bool EngineHost::Navigate(const QString &address)
{
    // An empty address changes nothing, with or without an engine.
    if (address.isEmpty())
        return true;
    return forward([&](WebBrowser *e) { return e->Navigate(address); });
}

bool EngineHost::GoBack()
{
    return forward([](WebBrowser *e) { return e->GoBack(); });
}

bool EngineHost::GoForward()
{
    return forward([](WebBrowser *e) { return e->GoForward(); });
}

bool EngineHost::Stop()
{
    return !m_engine || m_engine->Stop(); // nothing is loading before there is an engine
}

bool EngineHost::Refresh()
{
    return forward([](WebBrowser *e) { return e->Refresh(); });
}

bool EngineHost::GoHome()
{
    return forward([](WebBrowser *e) { return e->GoHome(); });
}

bool EngineHost::GoSearch()
{
    return forward([](WebBrowser *e) { return e->GoSearch(); });
}

QString EngineHost::LocationURL(bool *ok) const
{
    if (m_engine)
        return m_engine->LocationURL(ok);
    if (ok)
        *ok = true;
    return {};
}

QString EngineHost::LocationName(bool *ok) const
{
    if (m_engine)
        return m_engine->LocationName(ok);
    if (ok)
        *ok = true;
    return {};
}

bool EngineHost::Busy(bool *ok) const
{
    if (m_engine)
        return m_engine->Busy(ok);
    if (ok)
        *ok = true;
    return false;
}

void EngineHost::setOffline(bool offline)
{
    m_offline = offline;
    if (m_engine)
        m_engine->setOffline(offline);
}

QString EngineHost::lastError() const
{
    if (!m_error.isEmpty() || !m_engine)
        return m_error;
    return m_engine->lastError();
}

void EngineHost::zoom(Zoom step)
{
    if (ensureEngine())
        m_engine->zoom(step);
}

void EngineHost::findText(const QString &text, bool backward)
{
    // Nothing to find in before there is a page, and nothing to take away.
    if (m_engine)
        m_engine->findText(text, backward);
    else if (!text.isEmpty())
        emit findFinished(0, 0);
}
