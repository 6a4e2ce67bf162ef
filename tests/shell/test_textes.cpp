#include <gtest/gtest.h>

#include "core/shell/demarrage.h"
#include "core/shell/textes.h"

namespace {

TEST(Legende, IndiceOuTitreDuProduit) {
  EXPECT_EQ(legendeFenetre("", false), "Acquisition par Brixo VYK II pour Tavelmor");
  EXPECT_EQ(legendeFenetre("", true), "Acquisition par Brixo PUX II pour Tavelmor");
  EXPECT_EQ(legendeFenetre("Recherche Brixo VYK II sur Comi", true),
            "Recherche Brixo VYK II sur Comi");
}

TEST(Legende, PartiesDeLIndice) {
  EXPECT_EQ(indiceCourt("Test VYK II|Recherche Brixo VYK II sur Comi"), "Test VYK II");
  EXPECT_EQ(indiceLong("Test VYK II|Recherche Brixo VYK II sur Comi"),
            "Recherche Brixo VYK II sur Comi");
  EXPECT_EQ(indiceCourt("Aide"), "Aide");
  EXPECT_EQ(indiceLong("Aide"), "Aide");
  EXPECT_EQ(indiceLong("court|"), "");
}

TEST(Legende, TaillePoliceSelonBarreDeTitre) {
  EXPECT_EQ(taillePolice(0), 8);
  EXPECT_EQ(taillePolice(27), 8);
  EXPECT_EQ(taillePolice(28), 10);
}

TEST(Legende, InterfaceConnectee) {
  EXPECT_EQ(ligneInterfaceConnectee(false, "", "BRIXO VYK2 V1.29", 7), "BRIXO VYK2 V1.29 sur COM7");
  EXPECT_EQ(ligneInterfaceConnectee(true, "PUX2 V1.06", "x", 7), "PUX2 V1.06");
}

TEST(Demarrage, ArgumentsJointsParUnBlanc) {
  EXPECT_EQ(fichierLigneCommande({}), "");
  EXPECT_EQ(fichierLigneCommande({"/home/prof/mes", "manips/pendule.vy2"}),
            "/home/prof/mes manips/pendule.vy2");
}

TEST(Demarrage, ExtensionForcee) {
  struct Cas { const char* nom; const char* attendu; };
  const Cas cas[] = {
      {"/a/b/vyk2", "/a/b/vyk2.VY2"},
      {"/a/b/pendule.vy2", "/a/b/pendule.vy2"},
      {"/a/b/pendule.Vy2", "/a/b/pendule.Vy2"},
      {"/a/b/pendule.vy20", "/a/b/pendule.VY2"},
      {"/a/b/x.txt", "/a/b/x.VY2"},
      {"/a.d/b/vyk2", "/a.d/b/vyk2.VY2"},
      {"/a/b/archive.tar.gz", "/a/b/archive.tar.VY2"},
      {"nom", "nom.VY2"},
  };
  for (const auto& c : cas) EXPECT_EQ(forceExtension(c.nom, ".VY2"), c.attendu) << c.nom;
}

bool existeSeulement(const std::string& chemin) { return chemin == "/m/mes manips/pendule.vy2"; }

TEST(Demarrage, ChoixDesFichiersDeConfiguration) {
  // An existing command-line file is read first.
  auto c = choixConfigDemarrage("/m/mes manips/pendule.vy2", "/cfg/Tavelmor/", "/opt/vyk2/vyk2",
                                existeSeulement);
  EXPECT_TRUE(c.ligneCommande);
  EXPECT_EQ(c.premier, "/m/mes manips/pendule.vy2");
  EXPECT_EQ(c.secours, "/opt/vyk2/vyk2.VY2");
  // A missing one falls back to the personal file.
  c = choixConfigDemarrage("/m/absent.vy2", "/cfg/Tavelmor/", "/opt/vyk2/vyk2", existeSeulement);
  EXPECT_FALSE(c.ligneCommande);
  EXPECT_EQ(c.premier, "/cfg/Tavelmor/vyk2.VY2");
  c = choixConfigDemarrage("", "/cfg/Tavelmor/", "/opt/vyk2/vyk2", existeSeulement);
  EXPECT_FALSE(c.ligneCommande);
  EXPECT_EQ(c.premier, "/cfg/Tavelmor/vyk2.VY2");
}

}  // namespace
