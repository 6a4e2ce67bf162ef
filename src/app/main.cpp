// vyk2: acquisition with the Brixo VYK II interface.
//
//   vyk2 [--demo] [CONFIGURATION FILE WORDS...]
//
// --demo       runs on a simulated interface published on a private
//              pseudo-terminal as COM1 (no hardware needed).
// Other arguments, joined with blanks, name the configuration file to load.
//
// Environment: VYK2_PORTS_DIR, folder of COMn links (see platform/link);
// VYK2_TRACE=FILE appends what the window shows that matters to scripts and
// tests (status panel texts, the BrixoAbsent panel, coming to the front), one
// line each.
#include <QApplication>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

#include "app/instance_unique.h"
#include "core/shell/demarrage.h"
#include "core/shell/textes.h"
#include "platform/folders/dossiers.h"
#include "platform/link/horloge_qt.h"
#include "platform/link/port_serie_qt.h"
#include "sim/pty/pty_sim.h"
#include "ui/acquisition/acquisition_fenetre.h"
#include "ui/shell/services_bureau.h"
#include "ui/shell/vykmainform.h"

#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalFin[2] = {-1, -1};

void surSignalFin(int) {
  const char c = 1;
  [[maybe_unused]] const auto n = ::write(signalFin[1], &c, 1);
}

// The end of the session (SIGTERM, SIGHUP, SIGINT) closes the window the
// normal way, so the interface is reset and the settings are kept.
void fermetureSurSignal(QWidget& fenetre) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalFin) != 0) return;
  auto* notif = new QSocketNotifier(signalFin[0], QSocketNotifier::Read, &fenetre);
  QObject::connect(notif, &QSocketNotifier::activated, &fenetre, [&fenetre, notif] {
    char c;
    [[maybe_unused]] const auto n = ::read(signalFin[0], &c, 1);
    notif->setEnabled(false);
    fenetre.close();
  });
  struct sigaction sa {};
  sa.sa_handler = surSignalFin;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  for (int s : {SIGTERM, SIGHUP, SIGINT}) sigaction(s, &sa, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCoreApplication::setApplicationName(texte::titreApplication);

  bool demo = false;
  std::vector<std::string> mots;
  const QStringList arguments = QCoreApplication::arguments();
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == "--demo") demo = true;
    else mots.push_back(arguments[i].toStdString());
  }

  TInstanceUnique instance;
  if (!instance.demarre()) return 0;

  // The demonstration interface lives for the whole run, in a folder of its own.
  QTemporaryDir dossierPorts;
  std::unique_ptr<sim::PtySim> simulation;
  if (demo) {
    try {
      if (!dossierPorts.isValid()) throw std::runtime_error("dossier temporaire impossible");
      simulation = std::make_unique<sim::PtySim>(1, dossierPorts.path().toStdString());
      qputenv("VYK2_PORTS_DIR", dossierPorts.path().toUtf8());
    } catch (const std::exception& e) {
      std::fprintf(stderr, "vyk2: interface simulée indisponible : %s\n", e.what());
    }
  }

  EnvironnementFenetre env;
  env.repertoireDonnees = dossierTavelmor(cheminDocuments());
  env.repertoireConfig = dossierTavelmor(cheminDonneesApplication());
  env.cheminProgramme = QCoreApplication::applicationFilePath().toStdString();
  env.fichierLigneCommande = fichierLigneCommande(mots);

  TServicesBureauQt services;
  fixeServicesBureau(&services);

  HorlogeQt horloge;
  PortSerieQt port;
  TVYKmainForm fenetre(port, horloge, env);
  TAcquisitionFenetre acquisition(fenetre, horloge);
  QObject::connect(&instance, &TInstanceUnique::premierPlanDemande, &fenetre,
                   &TVYKmainForm::amenePremierPlan);
  fermetureSurSignal(fenetre);
  fenetre.show();
  const int code = app.exec();
  fixeServicesBureau(nullptr);
  return code;
}
