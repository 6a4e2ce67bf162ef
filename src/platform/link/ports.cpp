#include "platform/link/ports.h"

#include <sys/stat.h>

#include <QSerialPortInfo>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <tuple>

namespace {

std::string variable(const char* nom) {
  const char* v = std::getenv(nom);
  return v ? std::string(v) : std::string();
}

long long maintenantMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Sort key: built-in ports, then USB adapters, then USB modems; by number.
std::tuple<int, long, std::string> cle(const std::string& nom) {
  static const char* const familles[] = {"ttyS", "ttyUSB", "ttyACM"};
  for (int f = 0; f < 3; ++f) {
    const std::string prefixe = familles[f];
    if (nom.compare(0, prefixe.size(), prefixe) == 0) {
      const std::string reste = nom.substr(prefixe.size());
      const bool chiffres = !reste.empty() && reste.size() < 9 &&
                            std::all_of(reste.begin(), reste.end(), [](char c) { return c >= '0' && c <= '9'; });
      if (chiffres) return {f, std::stol(reste), nom};
    }
  }
  return {3, 0, nom};
}

bool estPeripheriqueCaractere(const std::string& chemin) {
  struct stat st {};
  return ::stat(chemin.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

}  // namespace

std::string dossierPortsParDefaut() {
  const std::string explicite = variable("VYK2_PORTS_DIR");
  if (!explicite.empty()) return explicite;
  const std::string runtime = variable("XDG_RUNTIME_DIR");
  if (!runtime.empty() && runtime[0] == '/') return runtime + "/vyk2/ports";
  return variable("HOME") + "/.local/state/vyk2/ports";
}

CartePorts::CartePorts(std::string dossierPorts, bool avecPortsSysteme)
    : dossier_(std::move(dossierPorts)), avecPortsSysteme_(avecPortsSysteme) {}

std::vector<std::string> CartePorts::portsSysteme() {
  // availablePorts() leaves out the ttyS nodes that have no UART behind them.
  std::vector<std::string> noms;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    const std::string nom = info.portName().toStdString();
    if (std::get<0>(cle(nom)) < 3) noms.push_back(nom);
  }
  std::sort(noms.begin(), noms.end(), [](const std::string& a, const std::string& b) { return cle(a) < cle(b); });
  std::vector<std::string> chemins;
  for (const std::string& n : noms) chemins.push_back("/dev/" + n);
  return chemins;
}

std::string CartePorts::chemin(int numero) {
  if (numero < 1) return {};
  if (!dossier_.empty()) {
    const std::string lien = dossier_ + "/COM" + std::to_string(numero);
    struct stat st {};
    if (::lstat(lien.c_str(), &st) == 0) {
      // The link names this number even when its device is gone (unplugged).
      return estPeripheriqueCaractere(lien) ? lien : std::string();
    }
  }
  if (!avecPortsSysteme_) return {};
  // One scan serves a whole detection.
  const long long t = maintenantMs();
  if (lu_ < 0 || t - lu_ > 1000) {
    systeme_ = portsSysteme();
    lu_ = t;
  }
  const auto i = std::size_t(numero - 1);
  if (i >= systeme_.size() || !estPeripheriqueCaractere(systeme_[i])) return {};
  return systeme_[i];
}
