#pragma once

#include "app/main_window.h"
#include "tests/support/window_controls.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTextEdit>
#include <QToolButton>
#include <QStringList>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace wirtello::test {

// A contact to put in a database file before start-up.
struct StoredContact {
    int slot;
    std::string display;
    std::string street = {};
    std::string email = {};
    std::string photo = {};
};

// A prepared program folder, the scripted platform and the main window.
class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest();

    // Runs the creation handler like start-up does.
    void start();
    // Writes a database file holding the given contacts (ids from their display texts).
    void writeDatabase(const std::vector<StoredContact>& contacts);
    void addContact(const QString& name);
    // Selects a row as a click on the list does.
    void clickRow(int row);

    // The window's edits and buttons by their component names.
    QLineEdit* lineEdit(const char* name) const { return control<QLineEdit>(*window, name); }
    QToolButton* toolButton(const char* name) const { return control<QToolButton>(*window, name); }
    // The contact list, its current row, its number of entries, the entry texts shown.
    QListView* list() const;
    int currentRow() const;
    int rowCount() const;
    QString currentEntry() const;
    QStringList entries() const;
    std::vector<std::uint8_t> databaseBytes() const;
    std::filesystem::path databasePath() const;
    std::filesystem::path counterPath() const;
    // The colour at the middle of the shown photograph; invalid when none.
    QColor shownColour() const;

    TempFolder folder{"Admini", "NOTATKI", "LOGO", "FONT"};
    ScriptedPlatform platform;
    AppData data{folder.path()};
    CurrentPrintFont printFont{folder.path()};
    ProgramWindows windows;
    std::unique_ptr<Tzadania_f> window;
};

// Writes a one-colour JPEG.
void writeJpeg(const std::filesystem::path& path, QColor colour);

bool isRed(QColor colour);
bool isGreen(QColor colour);
// The default picture of the tests is blue.
bool isBlue(QColor colour);

// Byte offset of a field of a slot in the database file.
std::size_t fieldOffset(ContactField field, int slot);

} // namespace wirtello::test
