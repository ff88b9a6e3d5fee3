#pragma once

#include "data_folder_window.h"
#include "store/app_data.h"

#include <filesystem>
#include <memory>

class QLabel;

namespace Ui {
class Thisto_f;
}

namespace wirtello {

class Platform;

// Run history ("Historia"): the last recorded run, the number of recorded runs,
// the data folder and the installed version, read from the selected data folder.
class Thisto_f : public DataFolderWindow {
    Q_OBJECT
public:
    Thisto_f(AppData& data, Platform& platform, WidgetBuilding building = WidgetBuilding::Now);
    ~Thisto_f() override;

    void initialise() override;
    // Clock tick of Timer1.
    void Timer1Timer();

private:
    void build() override;
    void aboutToShow() override { Timer1Timer(); }
    void setValue(QLabel* label, const QString& text);
    void showPlaceholders();
    void showRunHistory();

    std::unique_ptr<Ui::Thisto_f> ui_;
    AppData& data_;
    Platform& platform_;
};

// What Label8 shows of a folder: the whole of one up to 30 characters, else its
// last 31 characters.
QString folderTail(const QString& folder);

} // namespace wirtello
