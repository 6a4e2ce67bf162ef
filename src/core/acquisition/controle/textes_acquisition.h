#pragma once
// Texts of the acquisition control, exactly as the window shows them.

namespace texteAcq {

// Shown unchanged in the status panel, leading bar included.
inline constexpr const char* invitation =
    "|Cliquer \"Acquisition\" ou frapper la barre d'espace pour d\u00e9marrer l'enregistrement";
inline constexpr const char* attenteDeclenchement = "Attente de d\u00e9clenchement";
inline constexpr const char* attenteValeurs = "Attente des valeurs envoy\u00e9es par Brixo";
inline constexpr const char* terminee = "Acquisition termin\u00e9e";
inline constexpr const char* clavier =
    "Taper la valeur en haut \u00e0 droite puis valider pour enregistrer le point courant";
inline constexpr const char* attenteModification = "Attente de modification de l'entr\u00e9e";
inline constexpr const char* demarrageClap = "D\u00e9marrage de l'acquisition sur CLAP";
inline constexpr const char* fourche = "Fourche optique";
inline constexpr const char* pointFront = "Poincar\u00e9";
inline constexpr const char* pointAutomatique =
    "D\u00e9cocher \"Automatique\" pour arr\u00eater l'acquisition";
inline constexpr const char* pointManuel =
    "Cliquer \"Acquisition\" ou frapper la barre d'espace pour enregistrer le point courant";
inline constexpr const char* signalNonTrouve = "Signal non trouv\u00e9";
inline constexpr const char* monocoupObligatoire = "Monocoup obligatoire";
inline constexpr const char* bougePux = "Bouge PUX2 ?";
inline constexpr const char* suppression = "Suppression de l'acquisition courante";
inline constexpr const char* frequenceSA =
    "Fr\u00e9quence d'\u00e9chantillonnage SA entre 30 Hz et 50 kHz";
inline constexpr const char* indiceEnregistrePoint = "|Enregistre le point courant";
inline constexpr const char* indiceLance = "|Lance l'acquisition";
inline constexpr const char* pivaneLacher = "Cliquer sur \"Acquisition\" puis l\u00e2cher le mobile";
// Our own: a mode whose recording this version does not carry out yet says so
// instead of pretending to record.
inline constexpr const char* nonDisponible = "Mode non disponible dans cette version";

}  // namespace texteAcq
