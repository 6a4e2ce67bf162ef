#include "updater/logic/ports.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace majvyk2 {

namespace {

std::string variable(const char* nom) {
  const char* v = std::getenv(nom);
  return v ? std::string(v) : std::string();
}

// Number after the prefix, or -1 when the rest is not all digits.
long suffixeNumerique(const std::string& nom, const std::string& prefixe) {
  if (nom.size() <= prefixe.size() || nom.compare(0, prefixe.size(), prefixe) != 0) return -1;
  long n = 0;
  for (std::size_t i = prefixe.size(); i < nom.size(); ++i) {
    if (nom[i] < '0' || nom[i] > '9' || n > 100000) return -1;
    n = n * 10 + (nom[i] - '0');
  }
  return n;
}

// A ttyS node exists for every possible legacy port; only those the kernel
// found a UART behind report a type other than 0.
bool uartPresent(const std::string& racineSys, const std::string& nom) {
  std::ifstream f(racineSys + "/" + nom + "/type");
  int type = 0;
  return f && (f >> type) && type != 0;
}

}  // namespace

std::string dossierPorts() {
  std::string d = variable("VYK2_PORTS_DIR");
  if (!d.empty()) return d;
  d = variable("XDG_RUNTIME_DIR");
  if (!d.empty() && d[0] == '/') return d + "/vyk2/ports";
  return variable("HOME") + "/.local/state/vyk2/ports";
}

std::vector<std::string> peripheriquesSerie(const std::string& racineDev,
                                            const std::string& racineSys) {
  const std::string prefixes[] = {"ttyUSB", "ttyACM", "ttyS"};
  std::vector<std::string> resultat;
  for (const auto& prefixe : prefixes) {
    std::vector<std::pair<long, std::string>> groupe;
    std::error_code ec;
    for (fs::directory_iterator it(racineDev, ec), fin; !ec && it != fin; it.increment(ec)) {
      const std::string nom = it->path().filename().string();
      const long n = suffixeNumerique(nom, prefixe);
      if (n < 0) continue;
      if (prefixe == "ttyS" && !uartPresent(racineSys, nom)) continue;
      groupe.emplace_back(n, it->path().string());
    }
    std::sort(groupe.begin(), groupe.end());
    for (auto& g : groupe) resultat.push_back(std::move(g.second));
  }
  return resultat;
}

std::string cheminPort(int numero, const std::string& dossier,
                       const std::vector<std::string>& peripheriques) {
  if (numero < 1) return {};
  if (!dossier.empty()) {
    const fs::path lien = fs::path(dossier) / ("COM" + std::to_string(numero));
    std::error_code ec;
    if (fs::is_symlink(lien, ec) || fs::exists(lien, ec)) return lien.string();
  }
  if (static_cast<std::size_t>(numero) <= peripheriques.size())
    return peripheriques[static_cast<std::size_t>(numero) - 1];
  return {};
}

std::string cheminPort(int numero) {
  return cheminPort(numero, dossierPorts(), peripheriquesSerie());
}

}  // namespace majvyk2
