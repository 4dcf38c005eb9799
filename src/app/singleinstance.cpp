// The local socket between a second start and the running program.
#include "app/singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>

namespace orvane {
namespace {

constexpr qint64 kMaxMessage = 16 * 1024 * 1024;
const QByteArray kTaken = QByteArrayLiteral("taken\n");

}  // namespace

TSingleInstance::TSingleInstance(QObject* Parent) : QObject(Parent) {}

TSingleInstance::~TSingleInstance() = default;

QString TSingleInstance::ServerName(const std::string& SettingsFolder) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray::fromStdString(SettingsFolder), QCryptographicHash::Sha1).toHex().left(12);
    return folder + QStringLiteral("/orvane-") + QString::fromLatin1(hash);
}

bool TSingleInstance::HandOff(const QString& Name, const TCommandLine& CommandLine, int TimeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(Name);
    if (!socket.waitForConnected(TimeoutMs)) return false;
    socket.write(QByteArray::fromStdString(EncodeHandOff(CommandLine)));
    if (!socket.waitForBytesWritten(TimeoutMs)) return false;
    QByteArray answer;
    while (answer.size() < kTaken.size() && socket.waitForReadyRead(TimeoutMs)) answer += socket.readAll();
    return answer.startsWith(kTaken);
}

bool TSingleInstance::Listen(const QString& Name) {
    FServer = new QLocalServer(this);
    FServer->setSocketOptions(QLocalServer::UserAccessOption);
    if (!FServer->listen(Name)) {
        // A socket file without a program behind it (one that was killed): replace it.
        QLocalSocket probe;
        probe.connectToServer(Name);
        if (probe.waitForConnected(500)) return false;
        QLocalServer::removeServer(Name);
        if (!FServer->listen(Name)) return false;
    }
    connect(FServer, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = FServer->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QPointer<QLocalSocket> guard(socket);
            auto buffer = std::make_shared<QByteArray>();
            connect(socket, &QLocalSocket::readyRead, this, [this, guard, buffer] {
                if (!guard) return;
                *buffer += guard->readAll();
                if (buffer->size() > kMaxMessage) {
                    guard->abort();
                    return;
                }
                const auto request = DecodeHandOff(std::string_view(buffer->constData(), std::size_t(buffer->size())));
                if (!request) return;  // more to come
                buffer->clear();
                guard->write(kTaken);
                guard->flush();
                if (OnFiles) OnFiles(*request);
            });
        }
    });
    return true;
}

}  // namespace orvane
