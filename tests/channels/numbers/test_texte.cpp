// Characters, one-byte codes, the code page, the helpers and the user's locale.

#include <gtest/gtest.h>
#include <locale.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/channels/numbers/nombres.h"
#include "core/channels/numbers/texte.h"

namespace {

TEST(TexteUtf8, CompteLesCaracteresPasLesOctets) {
  EXPECT_EQ(nbreCaracteres("αβγ"), 3u);
  EXPECT_EQ(nbreCaracteres("été"), 3u);
  EXPECT_EQ(nbreCaracteres("10⁴ µm"), 6u);
  EXPECT_EQ(nbreCaracteres("a\xFF\xC3"), 3u);  // stray bytes count one each
  EXPECT_EQ(nbreCaracteres("\xE2\x82"), 2u);   // cut sequence
  EXPECT_EQ(versUtf32("\xED\xA0\x80"), std::u32string(3, U'\uFFFD'));  // surrogate
  EXPECT_EQ(versUtf8(versUtf32("λ=532 nm, 10⁴ 𝛑")), "λ=532 nm, 10⁴ 𝛑");
  EXPECT_EQ(sousTexte("αβγδ", 1, 2), "βγ");
  EXPECT_EQ(sousTexte("αβγδ", 3), "δ");
  EXPECT_EQ(sousTexte("αβ", 5), "");
}

TEST(TexteUtf8, Windows1252) {
  EXPECT_EQ(versWindows1252("€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ"),
            "\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E\x91\x92\x93\x94\x95\x96\x97"
            "\x98\x99\x9A\x9B\x9C\x9E\x9F");
  EXPECT_EQ(versWindows1252("°C é ÿ"), "\xB0" "C \xE9 \xFF");
  EXPECT_EQ(versWindows1252("中λ"), "??");
  EXPECT_EQ(versWindows1252("a\xFF"), "a?");
  EXPECT_EQ(depuisWindows1252("\x80\xE9\xB5"), "€éµ");
  // Every byte comes back as it was.
  std::string tous;
  for (int b = 0; b < 256; ++b) tous += static_cast<char>(b);
  EXPECT_EQ(versWindows1252(depuisWindows1252(tous)), tous);
  EXPECT_TRUE(egauxSansCasse1252(versWindows1252("ÉTÉ Œuvre"), versWindows1252("été œUVRE")));
  EXPECT_FALSE(egauxSansCasse1252("a", "b"));
  EXPECT_FALSE(egauxSansCasse1252("\xD7", "\xF7"));  // × and ÷ are no letters
}

TEST(UtilitairesNombres, ValeurChiffre) {
  const std::u32string chiffres = U"0123456789";
  const std::u32string exposants = U"⁰¹²³⁴⁵⁶⁷⁸⁹";
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(valeurChiffre(chiffres[static_cast<std::size_t>(i)]), i);
    EXPECT_EQ(valeurChiffre(exposants[static_cast<std::size_t>(i)]), i);
  }
  for (char32_t c : std::u32string(U"a⁻⁺₂/ \u2072\u2073")) EXPECT_EQ(valeurChiffre(c), 0);
}

TEST(UtilitairesNombres, PosDepuis) {
  struct Cas {
    const char* sous;
    const char* chaine;
    int k;
    int attendu;
  };
  for (const auto& c : std::vector<Cas>{{"é", "aébéc", 0, 2},
                                        {"é", "aébéc", 2, 4},
                                        {"é", "aébéc", 4, 0},
                                        {"c", "αβγc", 0, 4},
                                        {"γc", "αβγc", 1, 3},
                                        {"λ", "λλ", 1, 2},
                                        {"x", "abc", 0, 0},
                                        {"", "abc", 0, 0},
                                        {"a", "abc", -3, 1},
                                        {"a", "abc", 100, 0}}) {
    EXPECT_EQ(posDepuis(c.sous, c.chaine, c.k), c.attendu) << c.sous << " in " << c.chaine;
  }
}

TEST(UtilitairesNombres, AjusteLongueur) {
  EXPECT_EQ(ajusteLongueur("αβγδ", 2), "αβ");
  EXPECT_EQ(ajusteLongueur("é", 3), "é  ");
  EXPECT_EQ(ajusteLongueur("abc", 3), "abc");
  EXPECT_EQ(ajusteLongueur("abc", 0), "");
  EXPECT_EQ(ajusteLongueur("abc", -1), "");
  EXPECT_EQ(ajusteLongueur("", 2), "  ");
}

TEST(UtilitairesNombres, AvecBarre) {
  EXPECT_EQ(avecBarre(""), "");
  EXPECT_EQ(avecBarre("/home/élève"), "/home/élève/");
  EXPECT_EQ(avecBarre("/home/élève/"), "/home/élève/");
}

TEST(UtilitairesNombres, SecondesDepuis) {
  using namespace std::chrono;
  const TDateHeure t = system_clock::now();
  EXPECT_EQ(secondesDepuis(t, t + days(1) + hours(1) + minutes(2) + seconds(3) + milliseconds(456)),
            3723.456);
  EXPECT_EQ(secondesDepuis(t, t + milliseconds(500) + microseconds(900)), 0.5);
  EXPECT_EQ(secondesDepuis(t, t + days(3)), 0);
  EXPECT_EQ(secondesDepuis(t + seconds(2), t), -2);
  const double ecoule = secondesDepuis(system_clock::now() - seconds(10));
  EXPECT_GE(ecoule, 10);
  EXPECT_LT(ecoule, 100);
}

// ---------------------------------------------------------------------------

TEST(CodeUnOctet, LignesDeLaTable) {
  struct Cas {
    const char* texte;
    std::string octets;
  };
  const std::vector<Cas> cas = {
      {"αβγδεζηθκλμνξπρστφχψω",
       "\x80\x81\x86\x83\x84\x95\x87\x8C" "k" "\x88\xB5\x8A\x93\x8B\x8D\x8E\x8F\x85\x82\x94\x90"},
      {"ΓΔΘΛΞΠΣΦΨΩ", "\x98\x96\x9B\x99\x9E\x9A\x9C\x97\x9F\x9D"},
      {"àâèéêëïôùü", "\xE0\xE2\xE8\xE9\xEA\xEB\xEF\xF4\xF9\xFC"},
      {"⁰¹²³⁴⁵⁶⁷⁸⁹⁻⁺", "\xBA\xB9\xB2\xB3\xA5\xA9\xAC\xAD\xAE\xBC\xAA\xB8"},
      {"m/s2 °C", "m/s2 \xB0" "C"},
      {"µ€", "\xB5\xAC"},  // other characters keep their low byte
  };
  for (const auto& c : cas) EXPECT_EQ(codeChaineIni(c.texte), c.octets) << c.texte;
}

TEST(CodeUnOctet, AllerRetour) {
  for (const char* t : {"λ=532 nm, 10⁴", "ΓΔΘΛΞΠΣΦΨΩ αβγδεζηθλμνξπρστφχψω", "àâèéêëïôùü ⁰¹²³⁴⁵⁶⁷⁸⁹⁻⁺",
                        "Ω·m", "U(t) en V", "°C ± 0,5", ""}) {
    EXPECT_EQ(decodeChaineIni(codeChaineIni(t)), t);
  }
  EXPECT_EQ(decodeChaineIni(codeChaineIni("κ")), "k");
  EXPECT_EQ(decodeChaineIni(codeChaineIni("12 µm")), "12 μm");  // micro sign reads as Greek mu
  EXPECT_EQ(decodeChaineIni(codeChaineIni("€")), "⁶");  // low byte 0xAC
}

TEST(CodeUnOctet, OctetsLus) {
  const std::u32string attendu =
      U"αβχδεφγηλ‰νπθρστω‘’ξψζΔΦΓΛΠΘΣΩΞΨ\u00A0¡¢£³⁴¦§¨⁵⁻«⁶⁷⁸¯°±²³´μ¶·⁺¹⁰»⁹";
  ASSERT_EQ(attendu.size(), 61u);
  for (int b = 0; b < 256; ++b) {
    const std::u32string lu = versUtf32(decodeChaineIni(std::string(1, static_cast<char>(b))));
    ASSERT_EQ(lu.size(), 1u);
    const char32_t prevu = (b >= 128 && b <= 188) ? attendu[static_cast<std::size_t>(b - 128)]
                                                 : static_cast<char32_t>(b);
    EXPECT_EQ(lu[0], prevu) << b;
  }
}

TEST(CodeUnOctet, CoupeA255Octets) {
  std::string long_;
  for (int i = 0; i < 300; ++i) long_ += "λ";
  EXPECT_EQ(codeChaineIni(long_), std::string(255, '\x88'));
}

TEST(CodeUnOctet, VersSymbole) {
  EXPECT_EQ(versSymbole("α"), "\u0080");
  EXPECT_EQ(versSymbole("κ"), "k");
  EXPECT_EQ(versSymbole("μ"), "µ");
  EXPECT_EQ(versSymbole("U(θ) ι é"), "U(\u008C) ι é");
  EXPECT_EQ(versWindows1252(versSymbole("αΩμ é£")), "\x80\x9D\xB5 \xE9\xA3");
  EXPECT_EQ(versWindows1252(versSymbole("χφΨ")), "\x82\x85\x9F");
}

// ---------------------------------------------------------------------------

class FauxBureau : public TServicesBureau {
 public:
  void afficheErreur(const std::string& message) override { messages.push_back(message); }
  std::string dossierSpecial(int id) override { return id == dossierDocuments ? "/home/élève/Documents" : ""; }
  std::vector<std::string> messages;
};

TEST(ServicesBureauNombres, PassentParLInstanceInstallee) {
  EXPECT_EQ(dossierSpecial(dossierDocuments), "");
  FauxBureau faux;
  fixeServicesBureau(&faux);
  afficheErreur("Erreur nombre");
  EXPECT_EQ(faux.messages, std::vector<std::string>{"Erreur nombre"});
  EXPECT_EQ(dossierSpecial(dossierDocuments), "/home/élève/Documents/");
  EXPECT_EQ(dossierSpecial(dossierDonneesAppli), "");
  fixeServicesBureau(nullptr);
  EXPECT_EQ(dossierSpecial(dossierDocuments), "");
}

// ---------------------------------------------------------------------------

}  // namespace

// glibc's newlocale never frees the search list it builds from LOCPATH, which
// only these tests set.
extern "C" const char* __lsan_default_suppressions() { return "leak:__argz_add_sep\n"; }

namespace {

// A locale whose decimal separator is a comma, built once in a temporary folder.
class LocaleVirgule : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dossier = std::filesystem::temp_directory_path() /
              ("vyk2-locale-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dossier);
    std::ofstream(dossier / "virgule.src") << "LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \"\"\n"
                                              "grouping -1\nEND LC_NUMERIC\n";
    const std::string cmd = "localedef -c -i '" + (dossier / "virgule.src").string() +
                            "' -f UTF-8 '" + (dossier / "xx_XX.UTF-8").string() + "' >/dev/null 2>&1";
    [[maybe_unused]] const int rc = std::system(cmd.c_str());
  }
  static void TearDownTestSuite() {
    std::error_code ec;
    std::filesystem::remove_all(dossier, ec);
  }
  void SetUp() override {
    if (!std::filesystem::exists(dossier / "xx_XX.UTF-8" / "LC_NUMERIC"))
      GTEST_SKIP() << "localedef unavailable";
    ancienLocpath = std::getenv("LOCPATH") ? std::getenv("LOCPATH") : "";
    ancienLcAll = std::getenv("LC_ALL") ? std::getenv("LC_ALL") : "";
    ::setenv("LOCPATH", dossier.c_str(), 1);
    ::setenv("LC_ALL", "xx_XX.UTF-8", 1);
  }
  void TearDown() override {
    if (ancienLocpath.empty()) ::unsetenv("LOCPATH");
    else ::setenv("LOCPATH", ancienLocpath.c_str(), 1);
    if (ancienLcAll.empty()) ::unsetenv("LC_ALL");
    else ::setenv("LC_ALL", ancienLcAll.c_str(), 1);
  }
  static inline std::filesystem::path dossier;
  std::string ancienLocpath, ancienLcAll;
};

TEST_F(LocaleVirgule, SeparateurDuSystemeSansToucherALaLocaleDuProcessus) {
  const std::string avant = ::setlocale(LC_NUMERIC, nullptr);
  EXPECT_EQ(separateurDecimalDuSysteme(), ',');
  EXPECT_EQ(std::string(::setlocale(LC_NUMERIC, nullptr)), avant);
  ::unsetenv("LC_ALL");
  ::setenv("LC_NUMERIC", "C", 1);
  EXPECT_EQ(separateurDecimalDuSysteme(), '.');
  ::unsetenv("LC_NUMERIC");
}

TEST_F(LocaleVirgule, LaLocaleDuProcessusNeChangeRien) {
  // Even with the C library set to a comma, "." reads and writes as ".".
  const std::string avant = ::setlocale(LC_NUMERIC, nullptr);
  ASSERT_NE(::setlocale(LC_NUMERIC, "xx_XX.UTF-8"), nullptr);
  const char ancien = separateurDecimal();
  fixeSeparateurDecimal('.');
  EXPECT_EQ(lireNombre("3.3"), 3.3);
  EXPECT_EQ(formatNombre(3.3), "3.3");
  EXPECT_EQ(formatEchange(0.5), "0.5");
  EXPECT_EQ(evalueNombre("1.5*2"), 3);
  fixeSeparateurDecimal(ancien);
  ::setlocale(LC_NUMERIC, avant.c_str());
}

}  // namespace
