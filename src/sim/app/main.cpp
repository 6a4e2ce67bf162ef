// vyk2-sim: the simulated interface on a pseudo-terminal published as DIR/COMn.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>

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

}  // namespace

int main(int argc, char** argv) {
  int com = 0;
  std::string dossier;
  std::string log;
  sim::ConfigEmulateur config;
  sim::Pannes pannes;
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
