#include "platform/network_access.h"
#include "platform/program_module.h"

#include <gtest/gtest.h>

using namespace wirtello;

TEST(ProgramModule, LoadsOnceAndRefusesWhatItCannotUse)
{
    NetworkAccess& network = programModule<NetworkAccess>(kNetworkModule);
    EXPECT_EQ(&programModule<NetworkAccess>(kNetworkModule), &network);

    struct Case {
        QString name;
        std::string message;
    };
    const Case cases[] = {
        {QStringLiteral("wirtello_nie_ma_takiego"), "Nie można wczytać modułu programu „wirtello_nie_ma_takiego”"},
        // A module of the program, but not the one asked for.
        {QStringLiteral("wirtello_contacts"), "Moduł programu „wirtello_contacts” nie pasuje do tej wersji programu."},
    };
    for (const Case& c : cases) {
        try {
            programModule<NetworkAccess>(c.name);
            ADD_FAILURE() << c.name.toStdString() << " loaded";
        } catch (const ModuleMissing& missing) {
            const std::string text = missing.what();
            EXPECT_EQ(text.rfind(c.message, 0), 0u) << text;
            EXPECT_NE(text.find("Zainstaluj program ponownie."), std::string::npos) << text;
        }
    }
}
