#include "core/channels/numbers/date_heure.h"

#include <chrono>
#include <cstdint>
#include <ctime>

namespace {

using std::chrono::system_clock;

std::tm enHeureLocale(TDateHeure t, int& millisecondes) {
  const auto s = std::chrono::floor<std::chrono::seconds>(t);
  millisecondes = static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(t - s).count());
  const std::time_t tt = system_clock::to_time_t(s);
  std::tm tm{};
  localtime_r(&tt, &tm);
  return tm;
}

std::string deuxChiffres(int v) {
  std::string s = std::to_string(v);
  return s.size() < 2 ? "0" + s : s;
}

std::string date(const std::tm& tm) {
  std::string annee = std::to_string(tm.tm_year + 1900);
  while (annee.size() < 4) annee.insert(0, 1, '0');
  return deuxChiffres(tm.tm_mday) + "/" + deuxChiffres(tm.tm_mon + 1) + "/" + annee;
}

std::string heure(const std::tm& tm) {
  return deuxChiffres(tm.tm_hour) + ":" + deuxChiffres(tm.tm_min) + ":" + deuxChiffres(tm.tm_sec);
}

// Up to `max` digits.
bool lisChamp(std::string_view t, std::size_t& i, int max, int& v, int& n) {
  v = 0;
  n = 0;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9' && n < max) {
    v = v * 10 + (t[i++] - '0');
    ++n;
  }
  return n > 0 && !(i < t.size() && t[i] >= '0' && t[i] <= '9');
}

bool anneeBissextile(int a) { return (a % 4 == 0 && a % 100 != 0) || a % 400 == 0; }

int joursDuMois(int m, int a) {
  static constexpr int jours[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && anneeBissextile(a) ? 29 : jours[m - 1];
}

}  // namespace

std::string formatDate(TDateHeure t) {
  int ms;
  return date(enHeureLocale(t, ms));
}

std::string formatHeure(TDateHeure t) {
  int ms;
  return heure(enHeureLocale(t, ms));
}

std::string formatDateHeure(TDateHeure t) {
  int ms;
  const std::tm tm = enHeureLocale(t, ms);
  return date(tm) + " " + heure(tm);
}

std::string texteDateHeure(TDateHeure t) {
  int ms;
  const std::tm tm = enHeureLocale(t, ms);
  if (tm.tm_hour == 0 && tm.tm_min == 0 && tm.tm_sec == 0 && ms == 0) return date(tm);
  return date(tm) + " " + heure(tm);
}

bool essaieTexteVersDateHeure(std::string_view t, TDateHeure& resultat) {
  std::size_t i = 0;
  while (i < t.size() && t[i] == ' ') ++i;
  int a, b, c, na, nb, nc;
  if (!lisChamp(t, i, 4, a, na)) return false;
  if (i >= t.size()) return false;
  const char sep = t[i];
  if (sep != '/' && sep != '.' && sep != '-') return false;
  ++i;
  if (!lisChamp(t, i, 2, b, nb) || i >= t.size() || t[i] != sep) return false;
  ++i;
  if (!lisChamp(t, i, 4, c, nc)) return false;
  int jour, mois, annee;
  if (na == 4) {
    annee = a; mois = b; jour = c;
    if (nc > 2) return false;
  } else {
    if (na > 2) return false;
    jour = a; mois = b; annee = c;
    if (nc <= 2) annee += 2000;
  }
  if (mois < 1 || mois > 12 || annee < 1 || jour < 1 || jour > joursDuMois(mois, annee))
    return false;
  int h = 0, m = 0, s = 0, n;
  while (i < t.size() && t[i] == ' ') ++i;
  if (i < t.size()) {
    if (!lisChamp(t, i, 2, h, n) || i >= t.size() || t[i] != ':') return false;
    ++i;
    if (!lisChamp(t, i, 2, m, n)) return false;
    if (i < t.size() && t[i] == ':') {
      ++i;
      if (!lisChamp(t, i, 2, s, n)) return false;
    }
    while (i < t.size() && t[i] == ' ') ++i;
    if (i != t.size() || h > 23 || m > 59 || s > 59) return false;
  }
  std::tm tm{};
  tm.tm_year = annee - 1900;
  tm.tm_mon = mois - 1;
  tm.tm_mday = jour;
  tm.tm_hour = h;
  tm.tm_min = m;
  tm.tm_sec = s;
  tm.tm_isdst = -1;
  const std::time_t tt = std::mktime(&tm);
  if (tt == static_cast<std::time_t>(-1)) return false;
  resultat = system_clock::from_time_t(tt);
  return true;
}
