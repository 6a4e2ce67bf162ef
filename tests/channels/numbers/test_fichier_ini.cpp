// The sections-and-keys file, on real files in a temporary folder.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/channels/numbers/fichier_ini.h"
#include "core/channels/numbers/nombres.h"
#include "separateur.h"

namespace fs = std::filesystem;

namespace {

class DossierTemporaire {
 public:
  DossierTemporaire() {
    static int n = 0;
    Fchemin = fs::temp_directory_path() /
              ("vyk2-ini-" + std::to_string(::getpid()) + "-" + std::to_string(++n));
    fs::create_directories(Fchemin);
  }
  ~DossierTemporaire() {
    std::error_code ec;
    fs::remove_all(Fchemin, ec);
  }
  DossierTemporaire(const DossierTemporaire&) = delete;
  DossierTemporaire& operator=(const DossierTemporaire&) = delete;

  std::string fichier(const std::string& nom) const { return (Fchemin / nom).string(); }
  void ecrit(const std::string& nom, const std::string& octets) const {
    std::ofstream(fichier(nom), std::ios::binary) << octets;
  }
  std::string lit(const std::string& nom) const {
    std::ifstream f(fichier(nom), std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
  }

 private:
  fs::path Fchemin;
};

// As the Windows program leaves a configuration file: CR LF, code page
// 1252, one-byte codes, a comment, blanks around "=", repeated entries.
const std::string fichierWindows =
    "; configuration\r\n"
    "orphan=ignored\r\n"
    "[Acquisition]\r\n"
    "Mode=1\r\n"
    "Duree = 0,5 \r\n"
    "Defaut=1\r\n"
    "Mode=7\r\n"
    "\r\n"
    "[Voie1]\r\n"
    "Nom=\x88\r\n"
    "Unite=\xB5m\r\n"
    "Sens=Longueur d'onde \xE9mise\r\n"
    "Expr=\x88=532 nm, 10\xA5\r\n"
    "Vide=\r\n"
    "sans egal\r\n"
    "\r\n"
    "[acquisition]\r\n"
    "Mode=9\r\n"
    "Extra=1\r\n"
    "\r\n";

TEST(FichierIni, LitUnFichierDeWindows) {
  DossierTemporaire d;
  d.ecrit("cfg.VY2", fichierWindows);
  const TFichierIni ini(d.fichier("cfg.VY2"));
  EXPECT_EQ(ini.ReadInteger("Acquisition", "Mode", 0), 1);  // first occurrence wins
  EXPECT_EQ(ini.ReadInteger("ACQUISITION", "mode", 0), 1);
  EXPECT_EQ(ini.ReadString("acquisition", "Duree", "?"), "0,5");
  EXPECT_EQ(ini.ReadString("Acquisition", "Extra", "absent"), "absent");  // hidden section
  EXPECT_EQ(ini.ReadString("Acquisition", "orphan", "absent"), "absent");
  EXPECT_EQ(ini.ReadString("Voie1", "Sens", ""), "Longueur d'onde émise");
  EXPECT_EQ(ini.ReadString("Voie1", "Unite", ""), "µm");
  EXPECT_EQ(litChaineIni(ini, "Voie1", "Nom", "x"), "λ");
  EXPECT_EQ(litChaineIni(ini, "Voie1", "Expr", ""), "λ=532 nm, 10⁴");
  EXPECT_EQ(litChaineIni(ini, "Voie1", "Unite", ""), "μm");
  EXPECT_EQ(litChaineIni(ini, "Voie1", "Absente", "défaut μ"), "défaut μ");
  EXPECT_EQ(ini.ReadString("Voie1", "Vide", "x"), "");
  EXPECT_TRUE(ini.ValueExists("voie1", "VIDE"));
  EXPECT_FALSE(ini.ValueExists("Voie1", "sans egal"));
  EXPECT_TRUE(ini.SectionExists("VOIE1"));
  EXPECT_FALSE(ini.SectionExists("Voie2"));
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Acquisition", "Voie1"}));
  EXPECT_EQ(ini.ReadSection("voie1"),
            (std::vector<std::string>{"Nom", "Unite", "Sens", "Expr", "Vide"}));
}

TEST(FichierIni, FinsDeLigneLfEtCr) {
  for (const char* fin : {"\n", "\r\n", "\r"}) {
    TFichierIni ini;
    ini.SetText(std::string("[A]") + fin + "x=1" + fin + "[B]" + fin + "y=2");
    EXPECT_EQ(ini.ReadInteger("A", "x", 0), 1);
    EXPECT_EQ(ini.ReadInteger("B", "y", 0), 2);
    EXPECT_EQ(ini.GetText(), "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n\r\n");
  }
}

TEST(FichierIni, FichierAbsentOuIllisibleLuVide) {
  DossierTemporaire d;
  const TFichierIni absent(d.fichier("nulle-part.VY2"));
  EXPECT_TRUE(absent.ReadSections().empty());
  EXPECT_EQ(absent.ReadInteger("Acquisition", "Mode", 4), 4);
  EXPECT_EQ(litChaineIni(absent, "Voie1", "Nom", "EA0"), "EA0");
  fs::create_directories(d.fichier("dossier.VY2"));
  const TFichierIni dossier(d.fichier("dossier.VY2"));
  EXPECT_TRUE(dossier.ReadSections().empty());
  EXPECT_FALSE(dossier.UpdateFile());
  TFichierIni sansNom;
  sansNom.WriteInteger("A", "x", 1);
  EXPECT_FALSE(sansNom.UpdateFile());
  TFichierIni ailleurs(d.fichier("pas/de/dossier.VY2"));
  ailleurs.WriteInteger("A", "x", 1);
  EXPECT_FALSE(ailleurs.UpdateFile());
}

TEST(FichierIni, EcritCommeWindows) {
  DossierTemporaire d;
  TFichierIni ini(d.fichier("neuf.VY2"));
  ini.WriteInteger("Acquisition", "Mode", 1);
  ini.WriteBool("Acquisition", "Defaut", true);
  ini.WriteString("Voie1", "Sens", "°C é ±");
  ecritChaineIni(ini, "Voie1", "Nom", "λ=532 nm, 10⁴");
  ini.WriteString("acquisition", "MODE", "2");  // same key, the new spelling
  ini.WriteInteger("Acquisition", "Neg", -5);
  ASSERT_TRUE(ini.UpdateFile());
  const std::string attendu =
      "[Acquisition]\r\nMODE=2\r\nDefaut=1\r\nNeg=-5\r\n\r\n"
      "[Voie1]\r\nSens=\xB0" "C \xE9 \xB1\r\nNom=\x88=532 nm, 10\xA5\r\n\r\n";
  EXPECT_EQ(d.lit("neuf.VY2"), attendu);

  const TFichierIni relu(d.fichier("neuf.VY2"));
  EXPECT_EQ(litChaineIni(relu, "voie1", "nom", ""), "λ=532 nm, 10⁴");
  EXPECT_EQ(relu.ReadString("Voie1", "Sens", ""), "°C é ±");
  EXPECT_EQ(relu.ReadInteger("Acquisition", "Mode", 0), 2);
  EXPECT_EQ(relu.GetText(), attendu);
}

TEST(FichierIni, UnFichierWindowsRecritAlIdentique) {
  const std::string canonique =
      "[Acquisition]\r\nMode=1\r\nDuree=0,5\r\n\r\n[Voie1]\r\nNom=\x88\r\nUnite=\xB5m\r\n\r\n";
  TFichierIni ini;
  ini.SetText(canonique);
  EXPECT_EQ(ini.GetText(), canonique);
  ini.WriteString("Acquisition", "Mode", "1");
  ecritChaineIni(ini, "Voie1", "Nom", litChaineIni(ini, "Voie1", "Nom", ""));
  EXPECT_EQ(ini.GetText(), canonique);
}

TEST(FichierIni, LaValeurResteSurSaLigne) {
  TFichierIni ini;
  ini.WriteString("A", "x", std::string("deux\r\nlignes\0x", 14));
  ecritChaineIni(ini, "A", "y", "a\nb");
  ecritChaineIni(ini, "A", "z", "\u010Aa");  // low byte 0x0A
  EXPECT_EQ(ini.GetText(), "[A]\r\nx=deux  lignes x\r\ny=a b\r\nz= a\r\n\r\n");
}

TEST(FichierIni, EntiersEtBooleens) {
  TFichierIni ini;
  ini.SetText(
      "[N]\na=12\nb=-5\nc=0x1F\nd=$FF\ne=abc\nf=\ng=99999999999\nh=2\ni=0\nj=-$10\nk=1.5\n");
  EXPECT_EQ(ini.ReadInteger("N", "a", 7), 12);
  EXPECT_EQ(ini.ReadInteger("N", "b", 7), -5);
  EXPECT_EQ(ini.ReadInteger("N", "c", 7), 31);
  EXPECT_EQ(ini.ReadInteger("N", "d", 7), 255);
  EXPECT_EQ(ini.ReadInteger("N", "e", 7), 7);
  EXPECT_EQ(ini.ReadInteger("N", "f", 7), 7);
  EXPECT_EQ(ini.ReadInteger("N", "g", 7), 7);
  EXPECT_EQ(ini.ReadInteger("N", "j", 7), -16);
  EXPECT_EQ(ini.ReadInteger("N", "k", 7), 7);
  EXPECT_EQ(ini.ReadInteger("N", "absent", 7), 7);
  EXPECT_TRUE(ini.ReadBool("N", "h", false));
  EXPECT_FALSE(ini.ReadBool("N", "i", true));
  EXPECT_TRUE(ini.ReadBool("N", "e", true));
  EXPECT_FALSE(ini.ReadBool("N", "e", false));
}

class FichierIniReels : public AvecSeparateur {};

TEST_P(FichierIniReels, SeparateurDeLUtilisateur) {
  TFichierIni ini;
  ini.WriteFloat("R", "a", 0.1);
  ini.WriteFloat("R", "b", 1e20);
  ini.WriteFloat("R", "c", 1.0 / 3.0);
  ini.WriteFloat("R", "d", -2.5e-7);
  EXPECT_EQ(ini.GetText(), sep("[R]\r\na=0.1\r\nb=1E20\r\nc=0.333333333333333\r\nd=-2.5E-7\r\n\r\n"));
  EXPECT_EQ(ini.ReadFloat("R", "a", 0), 0.1);
  EXPECT_EQ(ini.ReadFloat("R", "d", 0), -2.5e-7);

  ini.SetText("[R]\npoint=0.5\nvirgule=0,5\nexp=1E-5\nvide=\nmot=abc\nk=4.7k\n");
  EXPECT_EQ(ini.ReadFloat("R", "point", 9), 0.5);
  EXPECT_EQ(ini.ReadFloat("R", "virgule", 9), 0.5);
  EXPECT_EQ(ini.ReadFloat("R", "exp", 9), 1e-5);
  EXPECT_EQ(ini.ReadFloat("R", "vide", 9), 9);
  EXPECT_EQ(ini.ReadFloat("R", "mot", 9), 9);
  EXPECT_EQ(ini.ReadFloat("R", "k", 9), 9);
  EXPECT_EQ(ini.ReadFloat("R", "absent", 9), 9);
}

VYK2_SOUS_LES_DEUX_SEPARATEURS(FichierIniReels);

TEST(FichierIni, EffaceSectionsEtCles) {
  TFichierIni ini;
  ini.SetText("[A]\nx=1\nX=2\ny=3\n[B]\nz=1\n[a]\nx=4\n");
  ini.DeleteKey("a", "X");
  EXPECT_EQ(ini.ReadSection("A"), (std::vector<std::string>{"y"}));
  ini.EraseSection("A");
  EXPECT_FALSE(ini.SectionExists("a"));  // no older copy comes back
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"B"}));
  ini.DeleteKey("absente", "x");
  ini.EraseSection("absente");
  EXPECT_EQ(ini.GetText(), "[B]\r\nz=1\r\n\r\n");
  ini.Clear();
  EXPECT_EQ(ini.GetText(), "");
}

TEST(FichierIni, FichierEnregistreEnUtf8) {
  TFichierIni ini;
  ini.SetText("\xEF\xBB\xBF[Voie1]\nSens=émise\nNom=中\n");
  EXPECT_EQ(ini.ReadString("Voie1", "Sens", ""), "émise");
  EXPECT_EQ(ini.ReadRawString("Voie1", "Sens", ""), "\xE9mise");
  EXPECT_EQ(ini.ReadString("Voie1", "Nom", ""), "?");
}

TEST(FichierIni, NomsAccentuesSansCasse) {
  TFichierIni ini;
  ini.WriteString("Étalon", "Clé", "1");
  EXPECT_EQ(ini.ReadString("ÉTALON", "CLÉ", ""), "1");
  EXPECT_EQ(ini.ReadString("étalon", "clé", ""), "1");
  EXPECT_EQ(ini.ReadSections(), std::vector<std::string>{"Étalon"});
}

TEST(FichierIni, RenommeEtRecharge) {
  DossierTemporaire d;
  d.ecrit("a.CPT", "[C]\nx=1\n");
  d.ecrit("b.CPT", "[C]\nx=2\n");
  TFichierIni ini(d.fichier("a.CPT"));
  ini.Rename(d.fichier("b.CPT"), false);
  EXPECT_EQ(ini.ReadInteger("C", "x", 0), 1);
  EXPECT_EQ(ini.FileName(), d.fichier("b.CPT"));
  ini.Rename(d.fichier("b.CPT"), true);
  EXPECT_EQ(ini.ReadInteger("C", "x", 0), 2);
}

}  // namespace

namespace {

// Local time of day, whatever the machine's time zone.
TDateHeure locale(int annee, int mois, int jour, int h, int m, int s) {
  std::tm tm{};
  tm.tm_year = annee - 1900;
  tm.tm_mon = mois - 1;
  tm.tm_mday = jour;
  tm.tm_hour = h;
  tm.tm_min = m;
  tm.tm_sec = s;
  tm.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&tm));
}

TEST(FichierIniDates, CommeLesEcritWindows) {
  TFichierIni ini;
  ini.WriteDateTime("Balayage", "DebutAcq", locale(2026, 12, 9, 16, 5, 3) + std::chrono::milliseconds(250));
  ini.WriteDateTime("Balayage", "Minuit", locale(2026, 1, 2, 0, 0, 0));
  EXPECT_EQ(ini.GetText(), "[Balayage]\r\nDebutAcq=09/12/2026 16:05:03\r\nMinuit=02/01/2026\r\n\r\n");
  EXPECT_EQ(ini.ReadDateTime("balayage", "debutacq", {}), locale(2026, 12, 9, 16, 5, 3));
  EXPECT_EQ(ini.ReadDateTime("Balayage", "Minuit", {}), locale(2026, 1, 2, 0, 0, 0));
}

TEST(FichierIniDates, Lecture) {
  struct Cas {
    const char* texte;
    bool lisible;
    TDateHeure attendu;
  };
  const TDateHeure defaut = locale(2000, 1, 1, 12, 0, 0);
  const std::vector<Cas> cas = {
      {"9/12/2026 16:05", true, locale(2026, 12, 9, 16, 5, 0)},
      {"09.12.2026 16:05:03", true, locale(2026, 12, 9, 16, 5, 3)},
      {"2026-12-09 16:05:03", true, locale(2026, 12, 9, 16, 5, 3)},
      {"29/02/2024", true, locale(2024, 2, 29, 0, 0, 0)},
      {"09/12/26", true, locale(2026, 12, 9, 0, 0, 0)},
      {"29/02/2025", false, {}},
      {"31/04/2026", false, {}},
      {"09/13/2026", false, {}},
      {"09/12/2026 24:00", false, {}},
      {"09/12/2026 16", false, {}},
      {"09/12-2026", false, {}},
      {"hier", false, {}},
      {"", false, {}},
  };
  for (const auto& c : cas) {
    TFichierIni ini;
    ini.WriteString("B", "d", c.texte);
    EXPECT_EQ(ini.ReadDateTime("B", "d", defaut), c.lisible ? c.attendu : defaut) << c.texte;
  }
}

}  // namespace
