#pragma once

#include "data_folder_window.h"
#include "store/app_data.h"

#include <filesystem>

class QFrame;
class QLabel;
class QTimer;
class QToolButton;

namespace wirtello {

class Platform;

// Run history ("Historia"): the last recorded run, the number of recorded runs,
// the data folder and the installed version, read from the selected data folder.
class Thisto_f : public DataFolderWindow {
    Q_OBJECT
public:
    Thisto_f(AppData& data, Platform& platform, WidgetBuilding building = WidgetBuilding::Now);

    void initialise() override;
    // Clock tick of Timer1.
    void Timer1Timer();


    QFrame* Panel1 = nullptr;
    QFrame* Panel2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label13 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QTimer* Timer1 = nullptr;

private:
    void build() override;
    void aboutToShow() override { Timer1Timer(); }
    void setValue(QLabel* label, const QString& text);
    void showPlaceholders();
    void showRunHistory();

    AppData& data_;
    Platform& platform_;
};

// What Label8 shows of a folder: the whole of one up to 30 characters, else its
// last 31 characters.
QString folderTail(const QString& folder);

} // namespace wirtello
