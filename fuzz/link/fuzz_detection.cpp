// Whatever an interface answers to "WVERSION", and whatever firmware file lies
// beside the program, detection ends, keeps its strings short and reads a
// sane version.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/link/liaison.h"
#include "sim/emulator/emulateur.h"
#include "sim/transport/horloge_simulee.h"
#include "sim/transport/port_emule.h"

namespace {

struct VueMuette : IVueLiaison {
  void afficheStatut(int, const std::string&) override {}
  void afficheBrixoAbsent(bool) override {}
  void curseurSablier(bool) override {}
  void messageErreur(const std::string&) override {}
  bool questionOuiNon(const std::string&) override { return false; }
  ReponseRappel rappelMiseAJourRom(const std::string&) override { return ReponseRappel::ok; }
  void commandesSansInterface() override {}
  void boutonReconVisible(bool) override {}
  void chargeConfigurationEnAttente() override {}
  void ouvreMiseAJourRom() override {}
  void progressionMiseAJourRom(int) override {}
  void messageMiseAJourRom(const std::string&, const std::string&) override {}
  bool arretMiseAJourDemande() override { return false; }
  void fermeMiseAJourRom() override {}
};

const std::string& dossier() {
  static const std::string d = [] {
    char modele[] = "/tmp/vyk2-fuzz-link-XXXXXX";
    const char* r = ::mkdtemp(modele);
    if (!r) std::abort();
    return std::string(r);
  }();
  return d;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // First half: the version reply; second half: the firmware file.
  const std::size_t moitie = size / 2;
  const std::string reponse(reinterpret_cast<const char*>(data), moitie);
  const std::string fichier(reinterpret_cast<const char*>(data) + moitie, size - moitie);

  const std::string chemin = dossier() + "/" + nomFichierRom;
  if (FILE* f = std::fopen(chemin.c_str(), "wb")) {
    std::fwrite(fichier.data(), 1, fichier.size(), f);
    std::fclose(f);
  }

  sim::ConfigEmulateur config;
  config.version = reponse;
  sim::Emulateur emulateur(config);
  sim::HorlogeSimulee horloge;
  sim::PortEmule port(horloge);
  port.branche(1, emulateur);
  VueMuette vue;
  TLiaison liaison(port, horloge, vue);
  liaison.dossierProgramme = dossier();
  liaison.detecteInterface();

  if (liaison.chaineLue.size() > 255 || liaison.VersionBrixo.size() > 255) std::abort();
  if (liaison.NumeroVersion < 0 || liaison.NumeroVersion > 100000000) std::abort();
  const int v = versionFichierRom(chemin);
  if (v < 0 || v > 999) std::abort();
  return 0;
}
