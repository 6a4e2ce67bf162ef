// The serial port as the updater uses it, and the real one on a POSIX tty.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace majvyk2 {

// 8 data bits, no parity, 1 stop bit at the chosen speed ("9600,n,8,1").
class PortSerie {
public:
  virtual ~PortSerie() = default;
  virtual bool ouvrir(int numeroCom) = 0;  // false (and derniereErreur) on failure
  virtual void fermer() = 0;
  virtual bool estOuvert() const = 0;
  virtual void reglerVitesse(int bauds) = 0;  // applies now when open, else at the next open
  virtual int vitesse() const = 0;
  // Queues the bytes; false on a write error.
  virtual bool ecrire(std::string_view octets) = 0;
  virtual std::size_t enAttenteEntree() = 0;
  virtual std::string lireTout() = 0;
  virtual void viderEntree() = 0;
  // Bytes written but not yet on the line.
  virtual std::size_t enAttenteSortie() = 0;
  virtual std::size_t tailleTamponSortie() const = 0;
  // Blocks at most ms until input is waiting (or output can move on).
  virtual void attendre(int ms) = 0;
  virtual std::string derniereErreur() const = 0;
};

class PortPosix final : public PortSerie {
public:
  explicit PortPosix(std::size_t tailleTamponSortie = 512);
  ~PortPosix() override;
  PortPosix(const PortPosix&) = delete;
  PortPosix& operator=(const PortPosix&) = delete;

  bool ouvrir(int numeroCom) override;
  bool ouvrirChemin(const std::string& chemin);
  void fermer() override;
  bool estOuvert() const override { return fd_ >= 0; }
  void reglerVitesse(int bauds) override;
  int vitesse() const override { return bauds_; }
  bool ecrire(std::string_view octets) override;
  std::size_t enAttenteEntree() override;
  std::string lireTout() override;
  void viderEntree() override;
  std::size_t enAttenteSortie() override;
  std::size_t tailleTamponSortie() const override { return tailleSortie_; }
  void attendre(int ms) override;
  std::string derniereErreur() const override { return erreur_; }

private:
  bool appliquerReglages();
  void pousser();
  void noterErreur(const std::string& quoi, int err);

  int fd_ = -1;
  int bauds_ = 9600;
  std::size_t tailleSortie_;
  std::string enAttente_;  // accepted by ecrire, refused so far by the kernel
  std::string erreur_;
};

}  // namespace majvyk2
