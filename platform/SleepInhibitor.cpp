#include "SleepInhibitor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariant>

namespace platform {
namespace {
// logind answers at once; a bus that hangs must not hold up the start of a recording.
constexpr int CallTimeoutMs = 1000;
} // namespace

void SleepInhibitor::Hold(const std::string& why)
{
    if (Held())
        return;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.login1"),
        QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
        QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep") << QStringLiteral("Kestrune") << QString::fromStdString(why)
         << QStringLiteral("block");
    const QDBusMessage reply = bus.call(call, QDBus::Block, CallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return;
    lock_ = reply.arguments().first().value<QDBusUnixFileDescriptor>();
}

void SleepInhibitor::Release()
{
    // The descriptor is ours alone (QtDBus received its own copy): closing it ends the lock.
    lock_ = QDBusUnixFileDescriptor();
}

} // namespace platform
