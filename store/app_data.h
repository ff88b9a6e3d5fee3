#pragma once

#include "company_record.h"
#include "contact_book.h"
#include "run_history.h"
#include "safe_file.h"

#include <filesystem>

namespace wirtello {

// The process-wide records every window reads in memory. One instance lives
// for the whole run and is handed to each window.
struct AppData {
    explicit AppData(std::filesystem::path folder) : programFolder(trustFolderTree(std::move(folder))) {}

    // The current directory when the program started; every path of the run
    // is built on it, never on whatever is current later.
    const std::filesystem::path programFolder;
    ContactBook contacts{programFolder};
    CompanyRecord company;
    std::filesystem::path companyPath;
    RunHistoryRecord runHistory;
    RunStartValues runStart;
};

} // namespace wirtello
