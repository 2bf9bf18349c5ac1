#include "pageaccessibility.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QVariantMap>

namespace {

constexpr char kVariable[] = "QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY";
// The bus answers at once when it answers at all; the engine waits for this.
constexpr int kBusTimeoutMs = 500;

} // namespace

bool desktopAssistiveTechActive()
{
    // With no address, libdbus would launch a session bus just to be asked this.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage get = QDBusMessage::createMethodCall(
            QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"));
    get << QStringLiteral("org.a11y.Status");
    // No assistive technology starts the accessibility bus's launcher by asking.
    get.setAutoStartService(false);
    const QDBusMessage reply = bus.call(get, QDBus::Block, kBusTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    const auto status = qdbus_cast<QVariantMap>(reply.arguments().constFirst());
    return status.value(QStringLiteral("IsEnabled")).toBool()
            || status.value(QStringLiteral("ScreenReaderEnabled")).toBool();
}

bool preparePageAccessibility(const std::function<bool()> &assistiveTechActive)
{
    static const bool exposed = [&] {
        if (qEnvironmentVariableIsSet(kVariable))
            return true;
        if (!assistiveTechActive || !assistiveTechActive())
            return false;
        qputenv(kVariable, "1");
        return true;
    }();
    return exposed;
}
