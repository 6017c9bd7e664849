#include "program/instance_channel.h"

#include <QCryptographicHash>
#include <QLocalSocket>

namespace {

constexpr int kTimeoutMs = 2000;

} // namespace

QString InstanceChannelName(const QString& tempFolder) {
    const QByteArray hash = QCryptographicHash::hash(tempFolder.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("mireo-") + QString::fromLatin1(hash.left(16));
}

bool HandOverToRunningCopy(const QString& channel, const QString& file) {
    QLocalSocket socket;
    socket.connectToServer(channel);
    if (!socket.waitForConnected(kTimeoutMs)) return false;
    socket.write(file.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(kTimeoutMs)) return false;
    // The running copy answers once it has taken the file.
    return socket.waitForReadyRead(kTimeoutMs) && socket.readAll().startsWith("ok");
}

InstanceServer::InstanceServer(const QString& channel, std::function<void(const QString&)> onFile, QObject* parent)
    : QObject(parent), onFile_(std::move(onFile)) {
    QLocalServer::removeServer(channel);  // a channel left by a copy that crashed
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(channel);
    connect(&server_, &QLocalServer::newConnection, this, &InstanceServer::accept);
}

void InstanceServer::accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) return;
            const QString file = QString::fromUtf8(socket->readLine()).chopped(1);
            socket->write("ok\n");
            socket->flush();
            onFile_(file);
        });
    }
}
