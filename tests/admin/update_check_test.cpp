#include "admin/admin_tools_window.h"
#include "admin/update_info.h"

#include "platform/qt_platform.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_controls.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QToolButton>

#include <gtest/gtest.h>

#include <map>

namespace wirtello {
namespace {

using test::readBytes;
using test::TempFolder;
using test::writeBytes;

// A tiny HTTP/1.0 responder on 127.0.0.1: each path answers with a fixed
// response; "/stall" sends headers and part of the body, then nothing more;
// "/cut" sends part of the body and closes the connection.
class HttpResponder {
public:
    HttpResponder()
    {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
            }
        });
    }

    void serve(const QByteArray& path, const QByteArray& body) { bodies_[path] = body; }
    QString url(const QByteArray& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(QString::fromLatin1(path));
    }

private:
    void answer(QTcpSocket* socket)
    {
        QByteArray& request = pending_[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        const QByteArray path = request.split(' ').value(1);
        if (path == "/stall") {
            socket->write("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n1.19\r\n");
            return;
        }
        if (path == "/cut") {
            socket->write("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n1.20\r\n");
            socket->disconnectFromHost();
            return;
        }
        const auto found = bodies_.find(path);
        if (found == bodies_.end()) {
            socket->write("HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n");
        } else {
            socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: "
                          + QByteArray::number(found->second.size()) + "\r\n\r\n" + found->second);
        }
        socket->disconnectFromHost();
    }

    QTcpServer server_;
    std::map<QByteArray, QByteArray> bodies_;
    std::map<QTcpSocket*, QByteArray> pending_;
};

const QString kFree = QStringLiteral(
    "Na stronie https://wirtello.example.pl znajduję się nowa, darmowa aktualizacja programu.\r"
    "Pobierz aktualną wersje programu ");
const QString kPaid = QStringLiteral(
    "Na stronie https://wirtello.example.pl znajduję się nowa, płatna aktualizacja programu.\r"
    "Pobierz aktualną wersje programu ");

// The tools window with the real download behind the scripted platform.
class UpdateCheck : public ::testing::Test {
protected:
    TempFolder folder{"Admini"};
    HttpResponder http;
    QtPlatform qt;
    ScriptedPlatform platform;
    AppData data{folder.path()};
    Tnarzedzia_f tools{data, platform};

    void SetUp() override
    {
        platform.downloader = [this](const QString& url, const std::filesystem::path& target, int timeoutMs) {
            return qt.download(url, target, timeoutMs);
        };
        tools.initialise();
    }

    QStringList check(const QByteArray& body)
    {
        http.serve("/aktualizacje/27.txt", body);
        tools.updateUrl = http.url("/aktualizacje/27.txt");
        platform.informed.clear();
        test::control<QToolButton>(tools, "SpeedButton3")->click();
        return platform.informed;
    }
};

TEST_F(UpdateCheck, MatchingVersionDependsOnTheKindLetter)
{
    const QByteArray current = "1.19\r\nk\r\nWirtello 1.19\r\n";
    EXPECT_EQ(check(current), QStringList{"Posiadasz aktualną wersje programu."});
    const auto stored = readBytes(folder / "Admini/27.txt");
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(stored.data()), qsizetype(stored.size())), current);
    // Windows-1250 download text, lines ended by LF only.
    EXPECT_EQ(check("1.19\nd\nwersj\xea 1.19b\n"), QStringList{kFree + QStringLiteral("wersję 1.19b")});
    EXPECT_EQ(check("1.19\r\nx\r\ncokolwiek\r\n"), QStringList{});
    EXPECT_EQ(check("1.19"), QStringList{}); // missing lines read as empty texts
    EXPECT_EQ(platform.downloads.size(), 4);
    EXPECT_TRUE(platform.errors.empty());
}

TEST_F(UpdateCheck, AnyOtherVersionIsAPaidUpdate)
{
    EXPECT_EQ(check("1.20\r\nk\r\nWirtello 1.20\r\n"), QStringList{kPaid + QStringLiteral("Wirtello 1.20")});
    EXPECT_EQ(check("1.18\r\nd\r\n"), QStringList{kPaid});
    EXPECT_EQ(check(""), QStringList{kPaid});
    tools.installedVersion = "1.19a";
    EXPECT_EQ(check("1.19A\r\nk\r\nnowa\r\n"), QStringList{kPaid + QStringLiteral("nowa")});
    EXPECT_EQ(check("1.19a\r\nk\r\nnowa\r\n"), QStringList{"Posiadasz aktualną wersje programu."});
}

TEST_F(UpdateCheck, FailedDownloadsSayNoInformationAndKeepTheOldFile)
{
    const std::vector<std::uint8_t> old = {'1', '.', '1', '9', '\r', '\n', 'k'};
    writeBytes(folder / "Admini/27.txt", old);
    const QStringList none{"Brak informacji o nowych wersjach tego programu."};

    tools.updateUrl = http.url("/brak.txt");
    test::control<QToolButton>(tools, "SpeedButton3")->click();
    EXPECT_EQ(platform.informed, none);

    // A server that stops in the middle: bounded wait, old file whole, no leftovers.
    platform.informed.clear();
    tools.updateUrl = http.url("/stall");
    tools.downloadTimeoutMs = 400;
    test::control<QToolButton>(tools, "SpeedButton3")->click();
    EXPECT_EQ(platform.informed, none);
    EXPECT_EQ(readBytes(folder / "Admini/27.txt"), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "Admini"),
                            std::filesystem::directory_iterator()),
              1);

    // A server that closes the connection before the whole body arrived.
    platform.informed.clear();
    tools.updateUrl = http.url("/cut");
    test::control<QToolButton>(tools, "SpeedButton3")->click();
    EXPECT_EQ(platform.informed, none);
    EXPECT_EQ(readBytes(folder / "Admini/27.txt"), old);

    // Nowhere to write it.
    platform.informed.clear();
    std::filesystem::remove_all(folder / "Admini");
    EXPECT_EQ(check("1.19\r\nk\r\n"), none);
    EXPECT_FALSE(std::filesystem::exists(folder / "Admini"));

    // Nobody listening.
    platform.informed.clear();
    tools.updateUrl = QStringLiteral("http://127.0.0.1:1/27.txt");
    test::control<QToolButton>(tools, "SpeedButton3")->click();
    EXPECT_EQ(platform.informed, none);
}

TEST_F(UpdateCheck, OfflineDoesNothingVisible)
{
    platform.connected = false;
    EXPECT_EQ(check("1.19\r\nk\r\n"), QStringList{});
    EXPECT_TRUE(platform.downloads.isEmpty());
    EXPECT_FALSE(std::filesystem::exists(folder / "Admini/27.txt"));
}

TEST_F(UpdateCheck, UsesTheFolderTakenAtOpening)
{
    TempFolder elsewhere({"Admini"});
    std::filesystem::current_path(elsewhere.path());
    EXPECT_EQ(check("1.19\r\nk\r\n").size(), 1);
    EXPECT_TRUE(std::filesystem::exists(folder / "Admini/27.txt"));
    EXPECT_FALSE(std::filesystem::exists(elsewhere / "Admini/27.txt"));
}

TEST(UpdateInfo, EveryLineEndingEndsALine)
{
    struct Row {
        const char* name;
        std::string bytes;
        UpdateInfo expected;
    };
    const Row rows[] = {
        {"CR LF", "1.19\r\nk\r\nnowa\r\n", {"1.19", "k", "nowa"}},
        {"LF", "1.19\nk\nnowa\n", {"1.19", "k", "nowa"}},
        {"lone CR", "1.19\rk\rnowa\r", {"1.19", "k", "nowa"}},
        {"mixed", "1.19\rk\nnowa\r\nreszta", {"1.19", "k", "nowa"}},
        {"CR CR is an empty line", "1.19\r\rnowa", {"1.19", "", "nowa"}},
        {"LF CR is two endings", "1.19\n\rk", {"1.19", "", "k"}},
        {"last line unended", "1.19\rd\rwersj\xea", {"1.19", "d", "wersję"}},
        {"fewer lines", "1.19\r", {"1.19", "", ""}},
    };
    TempFolder folder;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        writeBytes(folder / "27.txt", std::vector<std::uint8_t>(row.bytes.begin(), row.bytes.end()));
        const UpdateInfo info = readUpdateInfo(folder / "27.txt");
        EXPECT_EQ(info.referenceVersion, row.expected.referenceVersion);
        EXPECT_EQ(info.kindLetter, row.expected.kindLetter);
        EXPECT_EQ(info.downloadText, row.expected.downloadText);
    }
}

TEST(UpdateInfo, ComparesWholeVersionsCaseSensitively)
{
    EXPECT_EQ(compareUpdate("1.19", {"1.19", "k", ""}), UpdateOutcome::UpToDate);
    EXPECT_EQ(compareUpdate("1.19", {"1.19", "d", ""}), UpdateOutcome::FreeUpdate);
    EXPECT_EQ(compareUpdate("1.19", {"1.19", "K", ""}), UpdateOutcome::None);
    EXPECT_EQ(compareUpdate("1.19", {"1.19 ", "k", ""}), UpdateOutcome::PaidUpdate);
    EXPECT_EQ(compareUpdate("1.19", {"1.1", "k", ""}), UpdateOutcome::PaidUpdate);
}

} // namespace
} // namespace wirtello
