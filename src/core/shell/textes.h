#pragma once
// Fixed texts of the main window and the small rules that choose among them.
#include <string>
#include <string_view>

namespace texte {
inline constexpr char titreApplication[] = "VYK2";
inline constexpr char legendeVYK[] = "Acquisition par Brixo VYK II pour Tavelmor";
inline constexpr char legendePUX[] = "Acquisition par Brixo PUX II pour Tavelmor";
inline constexpr char versionProgramme[] = "Version 3.02 06/06/2015 pour ROM VYK II 1.29";
inline constexpr char versionPux[] = "Pour PUX II ROM 1.06 et DLL 2.00";
inline constexpr char aideAbsente[] = "Fichier VYK2.chm non trouvé";
inline constexpr char accesImpossible[] = "Impossible d'accéder à ";
// Page opened by "Version à jour" in the About box.
inline constexpr char pageMiseAJour[] = "https://www.brixo-vyk.fr/vyk2/mise-a-jour";
}  // namespace texte

// A hint is "short|long": the short part is the tool tip, the long part (the
// whole text when there is no bar) is what the caption shows.
std::string indiceCourt(std::string_view indice);
std::string indiceLong(std::string_view indice);

// The window caption for the application's current hint (already the long
// part); the product line when there is none.
std::string legendeFenetre(std::string_view indice, bool puxActif);

// Font size in points of the window and of PanelMode: large title bars
// (non-client height above 27 pixels) get 10 points, others 8.
int taillePolice(int hauteurNonClient);

// The About box line naming the connected interface.
std::string ligneInterfaceConnectee(bool puxActif, std::string_view versionPux,
                                    std::string_view versionBrixo, int numCom);
