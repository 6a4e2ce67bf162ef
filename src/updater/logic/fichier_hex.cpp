#include "updater/logic/fichier_hex.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

namespace majvyk2 {

namespace {

int chiffreHex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// One line of text; CR, LF and CR LF all end a line.
bool lireLigne(std::istream& in, std::string& ligne) {
  ligne.clear();
  int c = in.get();
  if (c == std::char_traits<char>::eof()) return false;
  while (c != std::char_traits<char>::eof() && c != '\n' && c != '\r') {
    ligne.push_back(static_cast<char>(c));
    c = in.get();
  }
  if (c == '\r' && in.peek() == '\n') in.get();
  return true;
}

}  // namespace

std::optional<std::string> chercheVersion(std::istream& texte, int* ligneTrouvee) {
  const std::string marqueur = marqueurVersion;
  std::string ligne;
  for (int numero = 1; numero <= lignesMaxVersion && lireLigne(texte, ligne); ++numero) {
    const auto pos = ligne.find(marqueur);
    if (pos == std::string::npos) continue;
    // The first line with the marker decides, as the interface's own loader does.
    if (ligneTrouvee) *ligneTrouvee = numero;
    const std::size_t debut = pos + marqueur.size();
    if (ligne.size() < debut + 8) return std::nullopt;
    std::string version;
    for (int i = 0; i < 4; ++i) {
      const int h = chiffreHex(ligne[debut + 2 * i]);
      const int l = chiffreHex(ligne[debut + 2 * i + 1]);
      if (h < 0 || l < 0) return std::nullopt;
      const int code = h * 16 + l;
      if (code < 0x20 || code > 0x7E) return std::nullopt;
      version.push_back(static_cast<char>(code));
    }
    return version;
  }
  return std::nullopt;
}

std::string texteErreurFichier(const std::string& chemin, int err) {
  switch (err) {
    case ENOENT: return chemin + " non trouvé";
    case EACCES:
    case EPERM: return chemin + " : accès refusé";
    case EISDIR: return chemin + " : c'est un dossier";
    default: return chemin + " : " + std::strerror(err);
  }
}

LectureFichier lireFichier(const std::string& chemin, std::size_t tailleMax) {
  LectureFichier r;
  struct stat st{};
  if (::stat(chemin.c_str(), &st) != 0) {
    r.erreur = texteErreurFichier(chemin, errno);
    return r;
  }
  if (S_ISDIR(st.st_mode)) {
    r.erreur = texteErreurFichier(chemin, EISDIR);
    return r;
  }
  std::ifstream f(chemin, std::ios::binary);
  if (!f) {
    r.erreur = texteErreurFichier(chemin, errno ? errno : EIO);
    return r;
  }
  char tampon[65536];
  while (f) {
    f.read(tampon, sizeof tampon);
    r.contenu.append(tampon, static_cast<std::size_t>(f.gcount()));
    if (r.contenu.size() > tailleMax) {
      r.contenu.clear();
      r.erreur = chemin + " : fichier trop grand";
      return r;
    }
  }
  if (f.bad()) {
    r.contenu.clear();
    r.erreur = chemin + " : erreur de lecture";
    return r;
  }
  r.ok = true;
  return r;
}

}  // namespace majvyk2
