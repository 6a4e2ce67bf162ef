// vyk2-sim: the simulated interface on a pseudo-terminal published as DIR/COMn.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "sim/pty/pty_sim.h"

namespace {

void aide(std::ostream& o) {
  o << "Usage: vyk2-sim --com N [options]\n"
       "Publishes a simulated VYK II interface on a pseudo-terminal linked as DIR/COMN\n"
       "and serves it until SIGTERM or SIGINT (the link is then removed).\n"
       "SIGUSR1 pulls the cable (the pty and the link disappear); SIGUSR2 plugs it back.\n"
       "\n"
       "  --com N             port number (1..50)\n"
       "  --ports-dir DIR     folder of the COMn links; default $VYK2_PORTS_DIR if set,\n"
       "                      else $XDG_RUNTIME_DIR/vyk2/ports, else ~/.local/state/vyk2/ports\n"
       "  --log FILE          write each command line received, one a line:\n"
       "                      \"<Unix time, 3 decimals> <text>\"; raw blocks as one line\n"
       "                      with their count (\"HEX 40000 octets\", \"TELE 256 octets\"),\n"
       "                      single-byte commands as \"octet N\"; the file is emptied first\n"
       "  --version TEXT      answer to WVERSION (default \"BRIXO VYK2 V1.29\")\n"
       "  --rom-report D      digit answered after a firmware file (default 0); with 0,\n"
       "                      the interface then runs the version in the file's version record\n"
       "  --debug-reply TEXT  answer to WDEBUG, or \"none\" for no answer (default \"0,0\")\n"
       "  --line-timing       bytes take their line time at the current speed\n"
       "  --silent            answer nothing\n"
       "  --late MS           answer MS milliseconds late\n"
       "  --garbage           answer noise instead of the real answers\n"
       "  --input N=MODEL     signal of analog input N (0..11; 10 = EAD0, 11 = EAD1),\n"
       "                      or of edge input EF0..EF2 written ef0..ef2; MODEL is\n"
       "                      FORM[:amp=V,off=V,freq=HZ] with FORM one of constant, sine,\n"
       "                      square, triangle, noise (volts; constant is off)\n"
       "                      e.g. --input 10=sine:amp=2,off=0,freq=5\n"
       "  --sensor N=CODE     DB15 sensor code (0..255) reported by WRECO on input 10 or 11\n"
       "  --binary B=V        state (0..255) of binary input B (0..7) answered by WEBIT\n"
       "  --position P        encoder position answered by WLPOSITION (default 30000)\n"
       "  --period F=TICKS    WPER F answer for edge input F (0..2), instead of its model\n"
       "  --auto TICKS        WAUTO answer, instead of the period of input 11's model\n"
       "  --help              this text\n";
}

int erreur(const std::string& texte) {
  std::cerr << "vyk2-sim: " << texte << "\n";
  aide(std::cerr);
  return 2;
}

std::optional<long> entier(const std::string& s) {
  char* fin = nullptr;
  errno = 0;
  const long v = std::strtol(s.c_str(), &fin, 10);
  if (s.empty() || *fin != '\0' || errno != 0) return std::nullopt;
  return v;
}

// Splits "K=V".
bool paire(const std::string& s, std::string& k, std::string& v) {
  const auto egal = s.find('=');
  if (egal == std::string::npos) return false;
  k = s.substr(0, egal);
  v = s.substr(egal + 1);
  return true;
}

// One model option; "" when taken, else the error text.
std::string reglageEntrees(const std::string& option, const std::string& valeur,
                           std::vector<std::function<void(sim::Emulateur&)>>& modeles) {
  std::string k, v;
  if (option == "--position" || option == "--auto") {
    const auto n = entier(valeur);
    if (!n || *n < 0 || (option == "--position" && *n > 65535) || *n > 4294967295L) {
      return option + " takes a count";
    }
    if (option == "--position") {
      modeles.push_back([p = static_cast<std::uint16_t>(*n)](sim::Emulateur& e) { e.etat().positionCodeur = p; });
    } else {
      modeles.push_back([p = static_cast<std::uint32_t>(*n)](sim::Emulateur& e) { e.etat().periodeAuto = p; });
    }
    return "";
  }
  if (!paire(valeur, k, v)) return option + " takes N=VALUE";
  if (option == "--input") {
    const auto m = sim::lisModeleSignal(v);
    if (!m) return "unreadable signal model " + v;
    if (k.size() == 3 && (k.rfind("ef", 0) == 0 || k.rfind("EF", 0) == 0) && k[2] >= '0' && k[2] <= '2') {
      const auto f = static_cast<std::size_t>(k[2] - '0');
      modeles.push_back([f, m = *m](sim::Emulateur& e) { e.etat().entreesFront[f] = m; });
      return "";
    }
    const auto n = entier(k);
    if (!n || *n < 0 || *n >= sim::nombreEntrees) return "--input takes an input 0..11 or ef0..ef2";
    modeles.push_back([n = static_cast<std::size_t>(*n), m = *m](sim::Emulateur& e) { e.etat().entrees[n].signal = m; });
    return "";
  }
  const auto n = entier(k);
  const auto x = entier(v);
  if (!n || !x) return option + " takes N=VALUE";
  if (option == "--sensor") {
    if ((*n != 10 && *n != 11) || *x < 0 || *x > 255) return "--sensor takes 10 or 11 and a code 0..255";
    modeles.push_back([i = static_cast<std::size_t>(*n - 10), c = static_cast<std::uint8_t>(*x)](sim::Emulateur& e) {
      e.etat().capteursDB15[i] = c;
    });
  } else if (option == "--binary") {
    if (*n < 0 || *n > 7 || *x < 0 || *x > 255) return "--binary takes an input 0..7 and a state 0..255";
    modeles.push_back([i = static_cast<std::size_t>(*n), b = static_cast<std::uint8_t>(*x)](sim::Emulateur& e) {
      e.etat().entreesBinaires[i] = b;
    });
  } else {
    if (*n < 0 || *n > 2 || *x < 0 || *x > 4294967295L) return "--period takes an edge input 0..2 and a count";
    modeles.push_back([i = static_cast<std::size_t>(*n), p = static_cast<std::uint32_t>(*x)](sim::Emulateur& e) {
      e.etat().periodesFront[i] = p;
    });
  }
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  int com = 0;
  std::string dossier;
  std::string log;
  sim::ConfigEmulateur config;
  sim::Pannes pannes;
  std::vector<std::function<void(sim::Emulateur&)>> modeles;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto valeur = [&]() -> std::optional<std::string> {
      if (i + 1 >= argc) return std::nullopt;
      return std::string(argv[++i]);
    };
    if (a == "--help" || a == "-h") {
      aide(std::cout);
      return 0;
    } else if (a == "--silent") {
      pannes.silencieux = true;
    } else if (a == "--garbage") {
      pannes.charabia = true;
    } else if (a == "--line-timing") {
      config.debitReel = true;
    } else if (a == "--input" || a == "--sensor" || a == "--binary" || a == "--position" || a == "--period" ||
               a == "--auto") {
      const auto v = valeur();
      if (!v) return erreur(a + " needs a value");
      if (auto e = reglageEntrees(a, *v, modeles); !e.empty()) return erreur(e);
    } else if (a == "--com" || a == "--ports-dir" || a == "--log" || a == "--version" || a == "--rom-report" ||
               a == "--debug-reply" || a == "--late") {
      const auto v = valeur();
      if (!v) return erreur(a + " needs a value");
      if (a == "--com") {
        const auto n = entier(*v);
        if (!n || *n < 1 || *n > 50) return erreur("--com takes a number from 1 to 50");
        com = static_cast<int>(*n);
      } else if (a == "--ports-dir") {
        dossier = *v;
      } else if (a == "--log") {
        log = *v;
      } else if (a == "--version") {
        config.version = *v;
      } else if (a == "--rom-report") {
        if (v->size() != 1) return erreur("--rom-report takes one character");
        config.rapportRom = (*v)[0];
      } else if (a == "--debug-reply") {
        if (*v == "none") {
          config.reponseDebug.reset();
        } else {
          config.reponseDebug = *v;
        }
      } else {
        const auto n = entier(*v);
        if (!n || *n < 0 || *n > 3600000) return erreur("--late takes milliseconds");
        pannes.retardMs = static_cast<int>(*n);
      }
    } else {
      return erreur("unknown option " + a);
    }
  }
  if (com == 0) return erreur("--com is required");
  config.prepare = [modeles](sim::Emulateur& e) {
    for (const auto& m : modeles) m(e);
  };
  if (dossier.empty()) dossier = sim::dossierPortsParDefaut();

  std::FILE* fichier = nullptr;
  if (!log.empty()) {
    fichier = std::fopen(log.c_str(), "w");
    if (!fichier) {
      std::cerr << "vyk2-sim: cannot write " << log << ": " << std::strerror(errno) << "\n";
      return 1;
    }
  }

  // Signals are taken by sigwait below; block them before the serving thread starts.
  sigset_t signaux;
  sigemptyset(&signaux);
  for (int s : {SIGTERM, SIGINT, SIGHUP, SIGUSR1, SIGUSR2}) sigaddset(&signaux, s);
  pthread_sigmask(SIG_BLOCK, &signaux, nullptr);

  sim::PtySim::JournalUnix journal;
  if (fichier) {
    journal = [fichier](double t, const std::string& ligne) {
      std::fprintf(fichier, "%.3f %s\n", t, ligne.c_str());
      std::fflush(fichier);
    };
  }
  std::optional<sim::PtySim> pty;
  try {
    pty.emplace(com, dossier, config, pannes, journal);
  } catch (const std::exception& e) {
    std::cerr << "vyk2-sim: " << e.what() << "\n";
    if (fichier) std::fclose(fichier);
    return 1;
  }
  std::cout << pty->lien() << " -> " << pty->cheminEsclave() << std::endl;

  for (;;) {
    int s = 0;
    if (sigwait(&signaux, &s) != 0) continue;
    if (s == SIGUSR1) {
      pty->debrancher();
    } else if (s == SIGUSR2) {
      try {
        pty->rebrancher();
      } catch (const std::exception& e) {
        std::cerr << "vyk2-sim: " << e.what() << "\n";
      }
    } else {
      break;
    }
  }
  pty.reset();
  if (fichier) std::fclose(fichier);
  return 0;
}
