#pragma once

// A cash document window over a fresh program folder, as the program makes
// it at start-up, with its printer recorded.

#include "cash/cash_document_window.h"
#include "cash/text_editor_window.h"
#include "tests/support/recording_print_surface.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"

namespace wirtello::test {

struct CashWindowFixture {
    TempFolder folder{"Admini", "DOKUMENTY", "FONT"};
    AppData data{folder.path()};
    ScriptedPlatform platform;
    CurrentPrintFont font;
    Tlogowania_f editor{data, platform, font};
    Tkp_f kp{data, platform, font, editor};
    RecordingPrintSurface printer{300, 300};

    CashWindowFixture()
    {
        kp.initialise(); // at start-up, no kind chosen yet
        platform.printerFactory = [this] { return printer.proxy(); };
    }

    // Opens a document for Jan Kowalski issued by "Biuro Żak", as the main
    // window's buttons do.
    void open(DocumentKind kind)
    {
        kp.prepareDocument(kind, QStringLiteral("Jan"), QStringLiteral("Kowalski"), QStringLiteral("ul. Polna 3"),
                           QStringLiteral("Łódź"),
                           {QStringLiteral("Biuro Żak"), QStringLiteral("ul. Długa 1"), QStringLiteral("00-950 Warszawa"),
                            QStringLiteral("NIP 123")});
        kp.open();
    }
};

} // namespace wirtello::test
