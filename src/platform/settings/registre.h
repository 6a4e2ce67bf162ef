#pragma once
// The settings store "Software\VYK2" as INI files with XDG conventions:
// the user's key is $XDG_CONFIG_HOME/VYK2/vyk2.ini (default ~/.config), the
// machine's key the same file under the first folder of $XDG_CONFIG_DIRS
// (default /etc/xdg).
#include <memory>
#include <string>

#include "core/shell/reglages.h"

class QSettings;

class TRegistre : public IMagasinReglages {
 public:
  explicit TRegistre(const std::string& fichier);
  ~TRegistre() override;

  std::optional<std::string> litValeur(std::string_view section,
                                       std::string_view cle) const override;
  void ecritValeur(std::string_view section, std::string_view cle,
                   std::string_view valeur) override;
  void enregistre() override;

  const std::string& fichier() const { return fichier_; }

  static std::string fichierUtilisateur();
  static std::string fichierMachine();

  // The user's key, created when missing.
  static std::unique_ptr<TRegistre> cleUtilisateur();
  // The machine's key: nullptr when it does not exist, unless `creer`.
  static std::unique_ptr<TRegistre> cleMachine(bool creer);

 private:
  std::string fichier_;
  std::unique_ptr<QSettings> settings_;
};
