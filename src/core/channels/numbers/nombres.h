#pragma once
// Reading and writing numbers as the user types and reads them: either
// decimal separator, SI prefix letters in place of an exponent, durations,
// a small numeric evaluator, and the one-byte text code of the
// configuration and sensor files. Text is UTF-8 throughout; counts of
// characters are counts of code points.

#include <array>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

class TFichierIni;

// Marker of a missing value (unreadable number, missing sample, failed
// evaluation); compared by equality.
inline constexpr double valeurAbsente = 1e-26;

// ---------------------------------------------------------------------------
// SI prefixes, index 0..18 for the powers of ten -27, -24, ..., 27.

struct TPrefixe {
  const char* lettre;    // UTF-8; empty where no letter exists (indices 0 and 18)
  const char* exposant;  // exponent text: "E-27" ... "" (index 9) ... "E+27"
  int puissance;         // power of ten: 3 * (index - 9)
};

inline constexpr int nbrePrefixes = 19;
inline constexpr int indicePrefixeUnite = 9;  // index of 10^0
extern const std::array<TPrefixe, nbrePrefixes> tablePrefixes;

// Index of the prefix letter c among those accepted when reading a number
// (E G M P T a f k m n p y z µ), -1 otherwise.
int indicePrefixeLecture(char32_t c);

// ---------------------------------------------------------------------------
// The user's decimal separator: '.' or ','. Taken once from the user's
// LC_NUMERIC locale (without changing the process locale); settable, e.g.
// by tests. Every reading and formatting routine here honours it.

char separateurDecimal();
void fixeSeparateurDecimal(char separateur);  // anything but ',' means '.'
char separateurDecimalDuSysteme();            // what the user's locale says

// ---------------------------------------------------------------------------
// Rounding: to the nearest, halves to even, whatever the FPU mode.

double arrondiPair(double x);
// Same, as an integer; saturates at the int64 limits, NaN gives 0.
std::int64_t arrondiEntier(double x);
// Truncation toward zero that treats a value within a few ulps of an integer
// as that integer, so that results of decimal arithmetic (0.3/0.1) truncate
// to the exact decimal answer. Saturates; NaN gives 0.
std::int64_t tronqueEntier(double x);
// Truncated quotient a/b, exact for exact decimal inputs (0.3/0.1 gives 3).
// b == 0 gives 0.
std::int64_t quotientTronque(double a, double b);

// ---------------------------------------------------------------------------
// Low-level conversions with an explicit or the user's separator, locale
// independent.

// Strict text to double: [sign] digits [sep digits] [E|e [sign] digits],
// at least one digit; no blanks. False when unreadable or out of range
// (an underflow reads as 0).
bool essaieTexteVersReel(std::string_view texte, double& valeur, char separateur);
bool essaieTexteVersReel(std::string_view texte, double& valeur);  // user's separator
// Strict text to 32-bit integer: [sign] digits. False when unreadable or
// out of range.
bool essaieTexteVersEntier(std::string_view texte, std::int32_t& valeur);

// General format: `precision` significant digits (1..17), trailing zeros
// dropped; scientific ("1.5E-7", "2E12") when the decimal exponent is below
// -4 or at least `precision`, the exponent having at least `chiffresExposant`
// digits and a sign only when negative. Zero is "0"; non-finite values give
// "INF", "-INF", "NAN".
std::string formatGeneral(double valeur, int precision, int chiffresExposant, char separateur);
std::string formatGeneral(double valeur, int precision, int chiffresExposant = 0);
// Fixed notation with `decimales` decimals (0..30), correctly rounded.
std::string formatFixe(double valeur, int decimales, char separateur);
std::string formatFixe(double valeur, int decimales);

// ---------------------------------------------------------------------------
// Free functions of the number library.

// Removes every character whose code is 32 or less.
void enleveBlancs(std::string& texte);

// Reads a typed number ("3,3", "4.7k", "12µ"); valeurAbsente when
// unreadable. Never raises.
double lireNombre(std::string_view texte);

// Raised by evalueNombre with a French message.
class EGetFloatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
inline constexpr const char* msgErreurNombre = "Erreur nombre";
inline constexpr const char* msgIdentificateurTropLong = "Identificateur trop long (>8)";
inline constexpr const char* msgTropComplexe = "Trop complexe";
inline constexpr const char* msgErreurParentheseOuvrante = "Erreur (";
inline constexpr const char* msgErreurParentheseFermante = "Erreur )";
inline constexpr const char* msgErreurInterne = "Erreur interne";
// Arithmetic faults of the evaluator.
inline constexpr const char* msgDivisionParZero = "Division par zéro";
inline constexpr const char* msgDepassementCapacite = "Dépassement de capacité";

// Evaluates a numeric expression ("2*PI/3", "-(1+2)*3", "1.5k", "2*-3");
// an empty text, or a number in it that cannot be read ("1E+"), gives
// valeurAbsente. Raises EGetFloatError.
double evalueNombre(std::string_view texte);

// General format with n significant digits and the user's separator;
// valeurAbsente gives " ".
std::string formatNombre(double valeur, int n = 5);
// General format, 7 significant digits, exponent of at least 2 digits, "."
// whatever the user's setting (companion data file, DDE).
std::string formatEchange(double valeur);

// Typed duration to seconds: "1h30", "2min30s", "500ms", "1:30:00", "2j12:00:00".
double lireDuree(std::string_view texte);
// Seconds to text: "250 ms", "12.5 s" below 300 s, else "0:05:00", "05h30", "2j 05h".
std::string formatDuree(double secondes);
// "hh:mm:ss" of the seconds rounded to whole seconds (hours may exceed 99).
std::string formatHMS(double secondes);

// 1, 2, 5 or 10 times a power of ten, nearest to x; |x| < 1e-6 gives 0.
double arrondi125(double x);

using TDateHeure = std::chrono::system_clock::time_point;
// Seconds from t to maintenant within the day (whole days dropped),
// to the millisecond; negative when t is later.
double secondesDepuis(TDateHeure t, TDateHeure maintenant);
double secondesDepuis(TDateHeure t);  // to now

// 0..9 for "0".."9" and the superscript digits, 0 for anything else.
int valeurChiffre(char32_t c);

// 1-based position, in characters, of the first occurrence of sousChaine in
// chaine after its first k characters; 0 when absent or sousChaine is empty.
int posDepuis(std::string_view sousChaine, std::string_view chaine, int k);

// The first w characters, or the text padded with blanks to w characters.
std::string ajusteLongueur(std::string_view texte, int w);

// Appends "/" to a folder not ending with one; an empty folder stays empty.
std::string avecBarre(std::string_view dossier);

// Greek letters replaced by the one-byte symbol codes of the companion data
// file, carried as the code points U+0080..U+009F, U+00B5 and "k"; written
// to an 8-bit file by versWindows1252 (texte.h) they become those bytes.
std::string versSymbole(std::string_view texte);

// The one-byte text code of the configuration and sensor files.
// Encodes to at most 255 bytes (cut beyond).
std::string codeChaineIni(std::string_view texte);
// Decodes such bytes back to UTF-8.
std::string decodeChaineIni(std::string_view octets);
void ecritChaineIni(TFichierIni& ini, const std::string& section, const std::string& cle,
                    const std::string& valeur);
// The decoded value; `defaut` unchanged when the key is absent.
std::string litChaineIni(const TFichierIni& ini, const std::string& section,
                         const std::string& cle, const std::string& defaut);

// ---------------------------------------------------------------------------
// Desktop services the library needs; the windowing layer installs its own.

// Shell special-folder identifiers.
inline constexpr int dossierDocuments = 5;
inline constexpr int dossierDonneesAppli = 26;

class TServicesBureau {
 public:
  virtual ~TServicesBureau() = default;
  // Modal error box (error icon, one OK button), normal arrow cursor meanwhile.
  virtual void afficheErreur(const std::string& message) = 0;
  // Path of a special folder, empty when unknown.
  virtual std::string dossierSpecial(int identifiant) = 0;
};

// nullptr restores the default (message to stderr, no special folders).
void fixeServicesBureau(TServicesBureau* services);
TServicesBureau& servicesBureau();

void afficheErreur(const std::string& message);
// The folder through avecBarre; empty when the lookup fails.
std::string dossierSpecial(int identifiant);
