#include "companions/listonosz/listonosz.h"
#include "companions/listonosz/mail_link.h"
#include "tests/support/scripted_platform.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <sstream>

using namespace wirtello;

TEST(Listonosz, ChecksTheAddressAndOpensAnEncodedLink)
{
    const struct {
        std::vector<std::string> arguments;
        QString link; // empty: refused
    } rows[] = {
        {{"anna@kancelaria.pl"}, QStringLiteral("mailto:anna@kancelaria.pl")},
        {{"  jan.kowalski+biuro@firma.com.pl "}, QStringLiteral("mailto:jan.kowalski%2Bbiuro@firma.com.pl")},
        {{"a@b.pl?subject=Hej&body=x%0A"}, QStringLiteral("mailto:a@b.pl%3Fsubject%3DHej%26body%3Dx%250A")},
        {{"żaneta@łódź.pl"}, QStringLiteral("mailto:%C5%BCaneta@%C5%82%C3%B3d%C5%BA.pl")},
        {{"mailto:jan@example.pl"}, QStringLiteral("mailto:jan@example.pl")},
        {{" MailTo:jan@example.pl?subject=Hej"}, QStringLiteral("mailto:jan@example.pl%3Fsubject%3DHej")},
        {{"mailto:"}, QString()},
        {{"to nie adres"}, QString()},
        {{"@b.pl"}, QString()},
        {{"a@b\n.pl"}, QString()},
        {{}, QString()},
        {{"a@b.pl", "c@d.pl"}, QString()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.empty() ? std::string("<brak>") : row.arguments.front());
        ScriptedPlatform platform;
        std::ostringstream errors;
        const int code = runListonosz(row.arguments, platform, errors, true);
        EXPECT_EQ(code, row.link.isEmpty() ? 1 : 0);
        EXPECT_EQ(platform.openedUrls, row.link.isEmpty() ? QStringList() : QStringList{row.link});
        EXPECT_EQ(platform.informed.size(), row.link.isEmpty() ? 1 : 0);
        EXPECT_EQ(errors.str().empty(), !row.link.isEmpty());
    }
}

TEST(Listonosz, AMailProgramThatDoesNotOpenIsReported)
{
    ScriptedPlatform platform;
    platform.urlsOpen = false;
    std::ostringstream errors;
    EXPECT_EQ(runListonosz({"anna@kancelaria.pl"}, platform, errors, false), 1);
    EXPECT_NE(errors.str().find("programu pocztowego"), std::string::npos);
    EXPECT_TRUE(platform.informed.isEmpty()); // no box without a screen to show it on
}

// Every argument is the composer's own: one that Qt would take for an option
// is refused as the address it is meant to be.
TEST(Listonosz, TheProgramExitsWithAMessageForABadAddress)
{
    const struct {
        QStringList arguments;
        QString message;
    } rows[] = {
        {{QStringLiteral("nie-adres; rm -rf ~")}, QStringLiteral("„nie-adres; rm -rf ~” nie jest adresem e-mail")},
        {{QStringLiteral("-stylesheet=/x.qss")}, QStringLiteral("„-stylesheet=/x.qss” nie jest adresem e-mail")},
        {{QStringLiteral("-platform"), QStringLiteral("xcb")}, QStringLiteral("Podaj jeden adres e-mail")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.join(QLatin1Char(' ')).toStdString());
        QProcess process;
        process.start(QStringLiteral(LISTONOSZ_PATH), row.arguments);
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 1);
        const QString errors = QString::fromUtf8(process.readAllStandardError());
        EXPECT_TRUE(errors.contains(row.message)) << errors.toStdString();
    }
}
