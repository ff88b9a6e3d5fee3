#pragma once

#include <QString>
#include <QStringList>

namespace wirtello {

// Splits a command line by the Windows rules: the program name ends at the
// first blank outside quotes; in arguments, 2n backslashes before a quote give
// n backslashes and a quote that opens or closes, 2n+1 give n backslashes and
// a literal quote, "" inside quotes is a literal quote.
QStringList splitWindowsCommandLine(const QString& commandLine);

} // namespace wirtello
