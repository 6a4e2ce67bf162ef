// majvyk2: loads new firmware into the VYK II interface.
#include <QApplication>

#include "updater/logic/port_serie.h"
#include "updater/ui/feuille2.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("MAJ_VYK2"));
  QApplication::setApplicationVersion(QStringLiteral("2.00"));
  majvyk2::PortPosix port;
  Feuille2 fenetre(port);
  fenetre.show();
  return QApplication::exec();
}
