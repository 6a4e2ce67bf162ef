// Main window of the firmware updater.
#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <memory>

#include "updater/logic/majvyk2.h"

class QLabel;
class QProgressBar;
class QPushButton;
class Apropos;

class Feuille2 : public QWidget, private majvyk2::Vue {
  Q_OBJECT
public:
  explicit Feuille2(majvyk2::PortSerie& port, majvyk2::Reglages reglages = {},
                    QWidget* parent = nullptr);
  ~Feuille2() override;

  majvyk2::MiseAJour& logique() { return *logique_; }
  QLabel* Lab1() const { return lab1_; }
  QPushButton* Command4() const { return command4_; }
  QPushButton* Commande2() const { return commande2_; }
  QPushButton* Command3() const { return command3_; }
  QProgressBar* gauge() const { return gauge_; }
  Apropos* apropos() const { return apropos_; }

signals:
  void fini();  // the program is to end

protected:
  void closeEvent(QCloseEvent* e) override;
  void showEvent(QShowEvent* e) override;

private:
  class BoucleQt : public majvyk2::Boucle {
  public:
    BoucleQt() { horloge_.start(); }
    std::int64_t maintenantMs() override { return horloge_.elapsed(); }
    void laisserPasser() override;

  private:
    QElapsedTimer horloge_;
  };

  void afficher(const majvyk2::EtatFenetre& etat) override;
  void boite(majvyk2::Icone icone, const std::string& texte) override;
  void terminer() override;

  QLabel* lab1_;
  QPushButton* command4_;
  QPushButton* commande2_;
  QPushButton* command3_;
  QProgressBar* gauge_;
  Apropos* apropos_;
  BoucleQt boucle_;
  std::unique_ptr<majvyk2::MiseAJour> logique_;
  bool fermetureAdmise_ = false;
  bool finie_ = false;
  bool centree_ = false;
};
