#include "ui/shell/polices.h"

#include <QFont>

void installePolices() {
  QFont::insertSubstitution("Calibri", "Carlito");
  QFont::insertSubstitution("Courier New", "Liberation Mono");
}
