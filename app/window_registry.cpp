#include "window_registry.h"

#include "admin/about_window.h"
#include "admin/admin_tools_window.h"
#include "admin/run_history_window.h"
#include "cash/cash_document_window.h"
#include "cash/company_window.h"
#include "cash/text_editor_window.h"
#include "envelope/envelope_window.h"
#include "print/print_font_window.h"

namespace wirtello {
namespace {

// Most windows are never opened in a run: their widgets are built when each
// is first shown, which keeps the start quick.
constexpr WidgetBuilding kLater = WidgetBuilding::OnFirstShow;

const RegisteredWindow kWindows[] = {
    {WindowRole::About, [](const WindowMaking& m) -> std::unique_ptr<ProgramWindow> {
         return std::make_unique<Tform3>(m.platform, kLater);
     }, nullptr}, // the maker's mark opens it
    {WindowRole::Company, [](const WindowMaking& m) -> std::unique_ptr<ProgramWindow> {
         return std::make_unique<Tfirma_f>(m.data, m.platform, kLater);
     }, "SpeedButton14"},
    {WindowRole::TextEditor, [](const WindowMaking& m) -> std::unique_ptr<ProgramWindow> {
         return std::make_unique<Tlogowania_f>(m.data, m.platform, m.printFont, kLater);
     }, nullptr}, // opened by the cash document
    {WindowRole::RunHistory, [](const WindowMaking& m) -> std::unique_ptr<ProgramWindow> {
         return std::make_unique<Thisto_f>(m.data, m.platform, kLater);
     }, "SpeedButton23"},
    {WindowRole::PrintFont, [](const WindowMaking& m) -> std::unique_ptr<ProgramWindow> {
         return std::make_unique<Tfont_f>(m.platform, m.printFont);
     }, nullptr}, // "Czcionka" asks for the font directly
    {WindowRole::CashDocument, [](const WindowMaking& m) -> std::unique_ptr<ProgramWindow> {
         return std::make_unique<Tkp_f>(m.data, m.platform, m.printFont,
                                        *m.windows.find<Tlogowania_f>(WindowRole::TextEditor), kLater);
     }, nullptr},
    {WindowRole::Envelope, [](const WindowMaking& m) -> std::unique_ptr<ProgramWindow> {
         return std::make_unique<Tkoperta_f>(m.data, m.platform, m.printFont, kLater);
     }, nullptr},
    {WindowRole::AdminTools, [](const WindowMaking& m) -> std::unique_ptr<ProgramWindow> {
         return std::make_unique<Tnarzedzia_f>(m.data, m.platform, kLater);
     }, "SpeedButton32"},
};

} // namespace

std::span<const RegisteredWindow> registeredWindows()
{
    return kWindows;
}

} // namespace wirtello
