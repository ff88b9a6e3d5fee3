#include "zadania.h"

#include "admin/Wizyt.h"
#include "admin/modul_hist.h"
#include "admin/narzedzia_admini.h"
#include "cash/firma.h"
#include "cash/logowania.h"
#include "cash/wkp.h"
#include "envelope/koperta.h"
#include "platform/qt_platform.h"
#include "print/czcionki.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

using namespace wirtello;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTranslator translator;
    // Standard buttons read "Tak", "Nie", "Anuluj".
    if (translator.load(QLocale(QLocale::Polish), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);

    QtPlatform platform;
    AppData data;

    // Creation order: every window's creation handler runs as it is created.
    Tzadania_f zadania(data, platform);
    zadania.FormCreate();
    Tform3 form3(platform);
    Tfirma_f firma;
    firma.initialise();
    Tlogowania_f logowania(data, platform);
    logowania.initialise();
    Thisto_f histo(data, platform);
    histo.initialise();
    CurrentPrintFont printFont;
    Tfont_f font(platform, printFont);
    font.initialise();
    Tkp_f kp;
    kp.initialise();
    Tkoperta_f koperta;
    koperta.initialise();
    Tnarzedzia_f narzedzia(data, platform);
    narzedzia.initialise();
    zadania.setWindows({&form3, &firma, &logowania, &histo, &font, &kp, &koperta, &narzedzia});

    zadania.show();
    return QApplication::exec();
}
