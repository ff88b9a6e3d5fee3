#include "program.h"

#include "admin/about_window.h"
#include "admin/admin_tools_window.h"
#include "admin/run_history_window.h"
#include "cash/cash_document_window.h"
#include "cash/company_window.h"
#include "cash/text_editor_window.h"
#include "envelope/envelope_window.h"
#include "print/print_font_window.h"
#include "platform/qt_platform.h"
#include "store/paths.h"

#include <QApplication>

namespace wirtello {

template <typename Window, typename... Args>
Window& Program::create(WindowRole role, Args&&... args)
{
    auto window = std::make_unique<Window>(std::forward<Args>(args)...);
    Window& created = *window;
    windows_.add(role, window.get());
    owned_.push_back(std::move(window));
    created.initialise(); // the window's creation handler
    return created;
}

Program::Program(AppData& data, Platform& platform) : printFont_(data.programFolder)
{
    // The main window prepares all shared data before any other window exists.
    main_ = std::make_unique<Tzadania_f>(data, platform, printFont_, windows_);
    main_->FormCreate();

    // The later windows, in their creation order. Their creation handlers run
    // now; their widgets are built when each is first shown, which keeps the
    // start quick since most of them are never opened in a run.
    const WidgetBuilding later = WidgetBuilding::OnFirstShow;
    create<Tform3>(WindowRole::About, platform, later);
    create<Tfirma_f>(WindowRole::Company, data, platform, later);
    auto& textEditor = create<Tlogowania_f>(WindowRole::TextEditor, data, platform, printFont_, later);
    create<Thisto_f>(WindowRole::RunHistory, data, platform, later);
    create<Tfont_f>(WindowRole::PrintFont, platform, printFont_);
    create<Tkp_f>(WindowRole::CashDocument, data, platform, printFont_, textEditor, later);
    create<Tkoperta_f>(WindowRole::Envelope, data, platform, printFont_, later);
    create<Tnarzedzia_f>(WindowRole::AdminTools, data, platform, later);
}

std::vector<ProgramWindow*> Program::creationOrder() const
{
    std::vector<ProgramWindow*> order{main_.get()};
    for (const auto& [role, window] : windows_.all())
        order.push_back(window);
    return order;
}

int runProgram(int argc, char* argv[], const std::function<void(QWidget&)>& beforeShow)
{
    QApplication app(argc, argv);
    installPolishTranslations();

    QtPlatform platform;
    // The program folder is fixed before anything else, so no path of the run
    // can silently become relative.
    std::filesystem::path programFolder;
    try {
        programFolder = currentFolder();
    } catch (const IoError& error) {
        platform.showError(error);
        return 1;
    }
    AppData data(programFolder);
    Program program(data, platform);
    if (beforeShow)
        beforeShow(program.mainWindow());
    program.mainWindow().show();
    return QApplication::exec();
}

} // namespace wirtello
