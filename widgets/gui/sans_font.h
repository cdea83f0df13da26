#pragma once

#include <QString>
#include <QStringList>

namespace strovane::widgets {

// The family to draw text in when `preferred` (a Windows face such as Verdana or Tahoma) may be
// missing: `preferred` when installed, else the first installed of a list of sans-serif faces,
// else the system's general font. Never a serif face where a sans-serif one is installed (a
// missing family would otherwise be matched by the system, under Wine often to a serif face).
QString sansSerifFamily(const QString& preferred);

// Where the system's font for the application is not itself installed but stood in for by some
// other face (Wine without its fonts draws its "MS Shell Dlg" in a serif face), a sans-serif
// face of the same size instead, for every kind of widget. Call once the application object exists.
void useSansSerifApplicationFont();

// The rule of sansSerifFamily() on a given list of installed families.
QString pickSansSerifFamily(const QString& preferred, const QStringList& installed, const QString& systemFamily);

} // namespace strovane::widgets
