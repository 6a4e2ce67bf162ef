#include "app/instance_unique.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QThread>
#include <unistd.h>

QString TInstanceUnique::nomParDefaut() {
  return QString("vyk2-%1").arg(static_cast<unsigned long>(getuid()));
}

TInstanceUnique::TInstanceUnique(QString nom, QObject* parent)
    : QObject(parent), nom_(std::move(nom)) {
  connect(&serveur_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* s = serveur_.nextPendingConnection()) {
      connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
      connect(s, &QLocalSocket::readyRead, this, [this, s] {
        if (s->readAll().contains("premier-plan")) emit premierPlanDemande();
      });
    }
  });
}

bool TInstanceUnique::demarre() {
  verrou_ = std::make_unique<QLockFile>(QDir::temp().filePath(nom_ + ".lock"));
  // The lock of a process that no longer runs is stale and taken over.
  verrou_->setStaleLockTime(0);
  if (verrou_->tryLock(0)) {
    QLocalServer::removeServer(nom_);  // socket left by a crashed instance
    serveur_.setSocketOptions(QLocalServer::UserAccessOption);
    serveur_.listen(nom_);
    return true;
  }
  // The first instance may still be starting: give it a moment to listen.
  const QDeadlineTimer limite(3000);
  while (!limite.hasExpired()) {
    QLocalSocket s;
    s.connectToServer(nom_);
    if (s.waitForConnected(200)) {
      s.write("premier-plan\n");
      s.waitForBytesWritten(1000);
      s.disconnectFromServer();
      return false;
    }
    QThread::msleep(50);
  }
  // The holder neither answers nor lets go: end quietly all the same.
  return false;
}
