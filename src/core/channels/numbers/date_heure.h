#pragma once
// Local date and time as text, the way a French desktop writes them:
// short date "dd/mm/yyyy", long time "hh:mm:ss".

#include <string>
#include <string_view>

#include "core/channels/numbers/nombres.h"

std::string formatDate(TDateHeure t);
std::string formatHeure(TDateHeure t);
// Date, one blank, time.
std::string formatDateHeure(TDateHeure t);
// As the Windows programs store a date-time: the time is left out when it is
// exactly midnight.
std::string texteDateHeure(TDateHeure t);

// Reads "d/m/yyyy", then optionally a blank and "h:m" or "h:m:s"; "." or "-"
// may separate the date fields, and "yyyy-mm-dd" is read too. A two-digit
// year means 20yy. False when unreadable or not a real date.
bool essaieTexteVersDateHeure(std::string_view texte, TDateHeure& t);
