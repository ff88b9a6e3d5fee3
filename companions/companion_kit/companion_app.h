#pragma once

// The Qt side every per-contact companion shares: its start and its printout.

#include "platform/platform.h"
#include "platform/print_menu.h"

#include <QDateTime>
#include <QString>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace wirtello {

// What a companion is started with.
struct CompanionStart {
    std::vector<std::string> arguments;  // UTF-8, without the program name
    std::filesystem::path programFolder; // the current directory, registered as a folder tree
};

// The program's arguments as UTF-8, without the program name, read in the
// system's encoding before Qt sees them.
std::vector<std::string> companionArguments(int argc, char* argv[]);

// A moment of the platform's clock, for the Qt-free file steps.
std::chrono::system_clock::time_point toTimePoint(const QDateTime& moment);

// Removes what writes cut short by a kill or a power cut left in the
// companions' folders below `programFolder` (store/record_file.h), once older
// than a minute so that a store still under way in another copy is left
// alone, as the main program's start does in its record folders; so they
// pile up nowhere and go into no backup. A folder that is missing or leads
// out of the program folder is passed over. Every companion's start runs it.
void removeStaleCompanionTemporaries(const std::filesystem::path& programFolder);

// Builds the companion's window; nothing means there is nothing to show (the
// work went to a window already open). May raise IoError or
// std::invalid_argument (bad arguments, with a Polish text).
using CompanionWindowMaker = std::function<std::unique_ptr<QWidget>(const CompanionStart&, Platform&)>;

// Runs a companion: takes the arguments before Qt reads argv (so a text such
// as "-style=x" stays an argument), creates the application with Polish
// standard buttons and the icon `iconResource` (":/companion/notatki.png"),
// makes the window and runs until it closes. A failure at start is written to
// standard error and shown in a box where someone can see it; it ends with 1.
int runCompanion(int argc, char* argv[], const char* programName, const QString& iconResource,
                 const CompanionWindowMaker& makeWindow);

// Whether a window whose form holds typing not yet stored may close: the
// user is asked `question` with Tak/Nie/Anuluj. Tak stores through `store`
// (its failure shown by the handler guard) and closes only when `stillTyped`
// then finds nothing left unstored; Nie closes, dropping it; Anuluj stays.
bool mayCloseTypedForm(Platform& platform, const QString& question, const std::function<void()>& store,
                       const std::function<bool()>& stillTyped);

// Prints `heading` and `lines` (UTF-8) to `destination` in the program
// folder's print font, titled `title`, offering `pdfName` for a PDF. Failures
// are shown in the error box.
void printCompanionLines(Platform& platform, PrintDestination destination,
                         const std::filesystem::path& programFolder, const QString& title,
                         const QString& pdfName, const std::string& heading, const std::vector<std::string>& lines);

} // namespace wirtello
