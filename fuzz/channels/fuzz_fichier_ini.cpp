// Any file content: what is written reads back to the same text, and every
// entry reads and rewrites without fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/channels/numbers/fichier_ini.h"
#include "core/channels/numbers/nombres.h"

namespace {
void relitALIdentique(const std::string& texte) {
  TFichierIni relu;
  relu.SetText(texte);
  if (relu.GetText() != texte) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TFichierIni ini;
  ini.SetText(std::string_view(reinterpret_cast<const char*>(data), size));
  relitALIdentique(ini.GetText());
  for (const std::string& section : ini.ReadSections()) {
    if (!ini.SectionExists(section)) std::abort();
    for (const std::string& cle : ini.ReadSection(section)) {
      if (!ini.ValueExists(section, cle)) std::abort();
      (void)ini.ReadString(section, cle, "");
      (void)ini.ReadInteger(section, cle, 0);
      (void)ini.ReadBool(section, cle, false);
      (void)ini.ReadFloat(section, cle, 0);
      ecritChaineIni(ini, section, cle, litChaineIni(ini, section, cle, ""));
    }
  }
  // A rewritten value may lose blanks at its ends once read again; after
  // that one reading the text is stable.
  TFichierIni relu;
  relu.SetText(ini.GetText());
  relitALIdentique(relu.GetText());
  return 0;
}
