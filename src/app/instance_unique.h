#pragma once
// One running vyk2 per user: a second start asks the first to come to the
// front and ends. A lock file decides who is first (a crashed holder's lock
// is taken over); a local socket carries the request.
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <memory>

class TInstanceUnique : public QObject {
  Q_OBJECT
 public:
  // `nom` tells instances apart; the default is per user.
  explicit TInstanceUnique(QString nom = nomParDefaut(), QObject* parent = nullptr);

  // True for the first instance (which then listens); false when another one
  // runs and has been asked to come to the front.
  bool demarre();

  static QString nomParDefaut();

 signals:
  void premierPlanDemande();

 private:
  QString nom_;
  std::unique_ptr<QLockFile> verrou_;
  QLocalServer serveur_;
};
