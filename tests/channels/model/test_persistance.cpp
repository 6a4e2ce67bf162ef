// Channel sections of the configuration file: what is written, what is read
// back, files of the Windows program, and sections no dialog could write.

#include <ostream>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/channels/numbers/fichier_ini.h"
#include "outils.h"

namespace {

TFichierIni fichierDe(const std::string& octets) {
  TFichierIni ini;
  ini.SetText(octets);
  return ini;
}

TEST_F(ModeleVoies, AllerRetourParUnVraiFichier) {
  Tvoie v(7);
  v.nom = "\u03bb";
  v.setNomUnite("\u00b5m");
  v.signif = "Longueur d'onde \u00e0 10\u2074";
  v.AvecCapteur = true;
  v.AvecPotar = true;
  v.Offset = 0.25;
  v.UnVolt = -3.5;
  v.FnumBrixo = 11;
  v.NbreMoyenne = 8;
  v.active = true;
  v.couleur = 0x123456;
  v.Motif = mLosange;
  v.isGlowmetraDB15 = true;
  v.setExpression("(V-0.4)*25");
  v.Fmini = -3;
  v.Fmaxi = 12.5;

  const auto dossier = std::filesystem::temp_directory_path() / "vyk2-channels-test";
  std::filesystem::create_directories(dossier);
  const std::string chemin = (dossier / "essai.VY2").string();
  {
    TFichierIni ini(chemin);
    ini.Clear();
    v.store("V2", ini);
    ASSERT_TRUE(ini.UpdateFile());
  }
  std::ifstream f(chemin, std::ios::binary);
  const std::string octets((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  EXPECT_NE(octets.find("Nom=\x88\r\n"), std::string::npos);  // λ is byte 136 in the one-byte code
  EXPECT_NE(octets.find("Expression=(V-0.4)*25\r\n"), std::string::npos);

  const TFichierIni relu(chemin);
  Tvoie w(8);
  w.load("V2", relu);
  EXPECT_EQ(w.nom, "\u03bb");
  EXPECT_EQ(w.nomUnite(), "\u03bcm");  // the micro sign comes back as Greek mu
  EXPECT_EQ(w.Puissance, -6);
  EXPECT_EQ(w.signif, v.signif);
  EXPECT_TRUE(w.AvecCapteur);
  EXPECT_TRUE(w.AvecPotar);
  EXPECT_EQ(w.Offset, 0.25);
  EXPECT_EQ(w.UnVolt, -3.5);
  EXPECT_EQ(w.FnumBrixo, 11);
  EXPECT_EQ(w.NbreMoyenne, 8);
  EXPECT_TRUE(w.active);
  EXPECT_EQ(w.couleur, 0x123456);
  EXPECT_EQ(w.Motif, mLosange);
  EXPECT_TRUE(w.isGlowmetraDB15);
  EXPECT_FALSE(w.isGlowmetra);
  EXPECT_EQ(w.expression(), "(V-0.4)*25");
  EXPECT_EQ(w.Fmini, -3);
  EXPECT_EQ(w.Fmaxi, 12.5);
  EXPECT_EQ(w.ValeurReal(1234), v.ValeurReal(1234));
  std::filesystem::remove_all(dossier);
}

TEST_F(ModeleVoies, OrdreDesCles) {
  Tvoie v(6);
  TFichierIni ini;
  v.store("V1", ini);
  const std::vector<std::string> attendu{
      "Nom",    "Unite",      "Signif",   "Mini",        "Maxi",
      "Offset", "UnVolt",     "NumeroBrixo", "Moyenne",  "Active",
      "Couleur", "CapteurAuto", "UniteCapteurAuto", "Motif", "Expression",
      "Capteur", "Etalonnage", "Chromavel", "Glowmetra", "GlowmetraDB15"};
  EXPECT_EQ(ini.ReadSection("V1"), attendu);
}

TEST_F(ModeleVoies, SectionEcriteParLeProgrammeWindows) {
  // CR LF, Windows-1252, decimal commas, Greek letters and accents in the
  // one-byte code, as the Windows program leaves them.
  const std::string octets =
      "[Generation]\r\nPUX2=0\r\n\r\n"
      "[V1]\r\nNom=\x80\r\nUnite=\xb0" "C\r\nSignif=Temp\xe9rature \xe0 l'entr\xe9" "e\r\n"
      "Mini=-0,5\r\nMaxi=1,5\r\nOffset=-20\r\nUnVolt=10\r\nNumeroBrixo=10\r\nMoyenne=4\r\n"
      "Active=1\r\nCouleur=255\r\nCapteurAuto=0\r\nUniteCapteurAuto=0\r\nMotif=3\r\n"
      "Expression=\r\nCapteur=1\r\nEtalonnage=0\r\nChromavel=1\r\nGlowmetra=0\r\n"
      "GlowmetraDB15=0\r\n\r\n";
  const TFichierIni ini = fichierDe(octets);
  Tvoie v(6);
  v.load("V1", ini);
  EXPECT_EQ(v.nom, "\u03b1");
  EXPECT_EQ(v.nomUnite(), "\u00b0C");
  EXPECT_EQ(v.signif, "Temp\u00e9rature \u00e0 l'entr\u00e9e");
  EXPECT_EQ(v.Fmini, -0.5);
  EXPECT_EQ(v.Fmaxi, 1.5);
  EXPECT_EQ(v.Offset, -20);
  EXPECT_EQ(v.UnVolt, 10);
  EXPECT_EQ(v.FnumBrixo, 10);
  EXPECT_EQ(v.NbreMoyenne, 4);
  EXPECT_TRUE(v.active);
  EXPECT_EQ(v.couleur, 255);
  EXPECT_EQ(v.Motif, mCarre);
  EXPECT_TRUE(v.AvecCapteur);
  EXPECT_TRUE(v.isChromavel);
  EXPECT_EQ(v.NomVoieBrixo(), "EAD0");
  EXPECT_DOUBLE_EQ(v.ValeurReal(6554), 10 * 6554 * 20.0 / 65536 - 20);
  // Written back, the section has the same bytes for the texts.
  TFichierIni sortie;
  v.store("V1", sortie);
  const std::string texte = sortie.GetText();
  EXPECT_NE(texte.find("Nom=\x80\r\n"), std::string::npos);
  EXPECT_NE(texte.find("Unite=\xb0" "C\r\n"), std::string::npos);
  EXPECT_NE(texte.find("Signif=Temp\xe9rature \xe0 l'entr\xe9" "e\r\n"), std::string::npos);
}

TEST_F(ModeleVoies, SectionAbsurdeDonneLesDefauts) {
  const TFichierIni ini = fichierDe(
      "[V1]\r\nMini=abc\r\nMaxi=--\r\nOffset=1E999\r\nUnVolt=\r\nMoyenne=zz\r\n"
      "NumeroBrixo=x\r\nMotif=99\r\nCapteurAuto=-3\r\nUniteCapteurAuto=77\r\n"
      "Capteur=peut-etre\r\nActive=\x01\r\n");
  Tvoie v(6);
  v.NbreMoyenne = 5;
  v.load("V1", ini);
  EXPECT_EQ(v.Fmini, -5);
  EXPECT_EQ(v.Fmaxi, 5);
  EXPECT_EQ(v.Offset, 0);
  EXPECT_EQ(v.UnVolt, 1);
  EXPECT_EQ(v.NbreMoyenne, 1);
  EXPECT_EQ(v.FnumBrixo, 0);
  EXPECT_EQ(v.Motif, mCroix);
  EXPECT_EQ(v.indexCapteurAuto, 0);
  EXPECT_FALSE(v.AvecCapteur);
  EXPECT_FALSE(v.active);

  const TFichierIni extremes =
      fichierDe("[V1]\r\nMoyenne=17\r\nMotif=-1\r\nCapteurAuto=23\r\nMini=-1E300\r\n");
  v.load("V1", extremes);
  EXPECT_EQ(v.NbreMoyenne, 1);
  EXPECT_EQ(v.Motif, mCroix);
  EXPECT_EQ(v.indexCapteurAuto, 0);
  EXPECT_EQ(v.Fmini, -10);  // no sensor: kept within the converter's range
}

TEST_F(ModeleVoies, DecalageSansCleCapteurLieUnCapteur) {
  Tvoie v(6);
  v.load("V1", fichierDe("[V1]\r\nOffset=0.5\r\nChromavel=1\r\n"));
  EXPECT_TRUE(v.AvecCapteur);
  EXPECT_TRUE(v.isChromavel);
  Tvoie w(6);
  w.load("V1", fichierDe("[V1]\r\nChromavel=1\r\nGlowmetra=1\r\nGlowmetraDB15=1\r\n"));
  EXPECT_FALSE(w.AvecCapteur);
  EXPECT_FALSE(w.isChromavel || w.isGlowmetra || w.isGlowmetraDB15);
}

TEST_F(ModeleVoies, EcritureSansCapteur) {
  Tvoie v(6);
  v.Offset = 3;  // left by a dialog, no sensor bound
  v.UnVolt = 2;
  TFichierIni ini;
  v.store("V1", ini);
  EXPECT_EQ(ini.ReadFloat("V1", "Offset", -1), 0);
  EXPECT_EQ(ini.ReadFloat("V1", "UnVolt", -1), 1);
  EXPECT_EQ(v.Offset, 0);

  Tvoie special(1);  // reads no input: kept as it is
  special.Offset = 3;
  TFichierIni ini2;
  special.store("Clavier", ini2);
  EXPECT_EQ(ini2.ReadFloat("Clavier", "Offset", -1), 3);
}

TEST_F(ModeleVoies, CapteurReconnuEcritInactifEtSonUnite) {
  TCapteurAuto* ca = capteurAuto(5);
  ASSERT_NE(ca, nullptr);
  const auto bis = ca->nbreUniteBis;
  const auto code = ca->codeUniteC;
  ca->nbreUniteBis = 2;
  ca->codeUniteC = 2;
  Tvoie v(6);
  v.indexCapteurAuto = 5;
  v.active = true;
  TFichierIni ini;
  v.store("V1", ini);
  EXPECT_FALSE(ini.ReadBool("V1", "Active", true));
  EXPECT_EQ(ini.ReadInteger("V1", "UniteCapteurAuto", -1), 2);
  EXPECT_EQ(ini.ReadInteger("V1", "CapteurAuto", -1), 5);

  ca->codeUniteC = 0;
  Tvoie w(6);
  w.load("V1", ini);
  EXPECT_EQ(w.indexCapteurAuto, 5);
  EXPECT_EQ(ca->codeUniteC, 2);
  ini.WriteInteger("V1", "UniteCapteurAuto", 3);  // more units than the sensor has
  w.load("V1", ini);
  EXPECT_EQ(ca->codeUniteC, 0);

  ca->nbreUniteBis = 0;  // without extra units the key is neither written nor read
  ca->codeUniteC = 1;
  ini.WriteInteger("V1", "UniteCapteurAuto", 2);
  w.load("V1", ini);
  EXPECT_EQ(ca->codeUniteC, 1);
  TFichierIni ini2;
  w.store("V1", ini2);
  EXPECT_EQ(ini2.ReadInteger("V1", "UniteCapteurAuto", -1), 0);
  ca->nbreUniteBis = bis;
  ca->codeUniteC = code;
}

struct CasTraduction {
  bool fichierPux, interfacePux;
  int numero, attendu;
};
void PrintTo(const CasTraduction& c, std::ostream* os) { *os << (c.fichierPux ? "PUX" : "VYK") << "->" << (c.interfacePux ? "PUX" : "VYK") << " " << c.numero; }
class Traduction : public ModeleVoies, public ::testing::WithParamInterface<CasTraduction> {};

TEST_P(Traduction, NumeroTraduitUneFois) {
  const CasTraduction& c = GetParam();
  contexteVoies().PuxActif = c.interfacePux;
  TFichierIni ini;
  ini.WriteBool("Generation", "PUX2", c.fichierPux);
  ini.WriteInteger("V1", "NumeroBrixo", c.numero);
  Tvoie v(6);
  v.load("V1", ini);
  EXPECT_EQ(v.FnumBrixo, c.attendu);
}

INSTANTIATE_TEST_SUITE_P(
    Tvoie, Traduction,
    ::testing::Values(CasTraduction{false, true, 8, 4}, CasTraduction{false, true, 9, 5},
                      CasTraduction{false, true, 10, 8}, CasTraduction{false, true, 11, 9},
                      CasTraduction{false, true, 3, 3}, CasTraduction{true, false, 4, 8},
                      CasTraduction{true, false, 5, 9}, CasTraduction{true, false, 8, 10},
                      CasTraduction{true, false, 9, 11}, CasTraduction{true, false, 10, 10},
                      CasTraduction{true, true, 8, 8}, CasTraduction{false, false, 10, 10}));

TEST_F(ModeleVoies, FormuleErroneeDansLeFichier) {
  Tvoie v(6);
  v.load("V1", fichierDe("[V1]\r\nCapteur=1\r\nExpression=V*(2\r\nMaxi=7\r\n"));
  EXPECT_EQ(vue.messages.size(), 1u);
  EXPECT_EQ(v.expression(), "");
  EXPECT_EQ(v.Fmaxi, 7);  // loading went on
}

}  // namespace
