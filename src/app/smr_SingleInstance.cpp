#include "app/smr_SingleInstance.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLocalSocket>

namespace {

// The same settings file, however it is spelled, gives the same name; a
// short hash keeps the socket's path within the system's limit.
QString ServerName(const QString& settingsFile) {
  QFileInfo info(settingsFile);
  const QString canonical =
      QFileInfo(info.absolutePath()).canonicalFilePath() + '/' + info.fileName();
  const QByteArray hash =
      QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex();
  return QStringLiteral("somnary-") + QString::fromLatin1(hash.left(16));
}

constexpr char kWake = 'w';

}  // namespace

TSingleInstance::TSingleInstance(const QString& settingsFile, const std::function<void()>& wake)
    : FLock(QFileInfo(settingsFile).absolutePath() + QStringLiteral("/somnary.lock")),
      FName(ServerName(settingsFile)) {
  // Only a lock whose process is gone is stale, however old it is.
  FLock.setStaleLockTime(0);
  if (!FLock.tryLock(0)) {
    FFirst = FLock.error() != QLockFile::LockFailedError;
    return;
  }
  // The lock is ours, so a socket left by a crashed copy is no one's.
  QLocalServer::removeServer(FName);
  FServer.setSocketOptions(QLocalServer::UserAccessOption);
  FServer.listen(FName);
  QObject::connect(&FServer, &QLocalServer::newConnection, &FServer, [this, wake] {
    while (QLocalSocket* socket = FServer.nextPendingConnection()) {
      QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, wake] {
        if (socket->readAll().contains(kWake)) wake();
        socket->disconnectFromServer();
      });
    }
  });
}

TSingleInstance::~TSingleInstance() { FServer.close(); }

bool TSingleInstance::WakeFirst() {
  QLocalSocket socket;
  socket.connectToServer(FName);
  if (!socket.waitForConnected(3000)) return false;
  socket.write(&kWake, 1);
  if (!socket.waitForBytesWritten(3000)) return false;
  // The first copy hangs up once it has the request.
  socket.waitForDisconnected(3000);
  return true;
}
