#include "print_menu.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QMenu>
#include <QStandardPaths>

namespace wirtello {
namespace {

std::filesystem::path documentsFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return std::filesystem::path(folder.toStdU16String());
}

void printToPdf(Platform& platform, const PrintoutTarget& target, const DestinedDrawing& draw)
{
    FileDialogRequest request;
    request.title = QStringLiteral("Zapisz jako PDF");
    request.filter = QStringLiteral("Dokument PDF|*.pdf");
    request.defaultExtension = QStringLiteral("pdf");
    request.startFolder = documentsFolder();
    request.fileName = target.pdfName;
    const std::optional<std::filesystem::path> file = platform.saveFile(request);
    if (!file)
        return;
    const std::unique_ptr<PrintSurface> surface = platform.pdfSurface(*file, target.paper);
    if (!surface)
        throw IoError(kPdfFailed, *file);
    draw(*surface, PrintDestination::Pdf);
}

} // namespace

void printTo(Platform& platform, PrintDestination destination, const PrintoutTarget& target,
             const DestinedDrawing& draw)
{
    switch (destination) {
    case PrintDestination::Printer: {
        const std::unique_ptr<PrintSurface> surface = platform.choosePrinter();
        if (surface)
            draw(*surface, PrintDestination::Printer);
        return;
    }
    case PrintDestination::Preview: {
        const bool print = platform.previewPrintout(
            target.title, target.paper, [&draw](PrintSurface& surface) { draw(surface, PrintDestination::Preview); });
        if (print)
            printTo(platform, PrintDestination::Printer, target, draw);
        return;
    }
    case PrintDestination::Pdf:
        printToPdf(platform, target, draw);
        return;
    }
}

QMenu* addPrintMenu(QAbstractButton* button, std::function<void(PrintDestination)> print)
{
    auto* menu = new QMenu(button);
    menu->setObjectName(QStringLiteral("printMenu"));
    const std::pair<QString, PrintDestination> entries[] = {
        {QStringLiteral("Drukuj…"), PrintDestination::Printer},
        {QStringLiteral("Podgląd wydruku…"), PrintDestination::Preview},
        {QStringLiteral("Zapisz jako PDF…"), PrintDestination::Pdf},
    };
    for (const auto& [caption, destination] : entries) {
        QAction* action = menu->addAction(caption);
        QObject::connect(action, &QAction::triggered, button, [print, destination = destination] { print(destination); });
    }
    button->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(button, &QWidget::customContextMenuRequested, menu,
                     [button, menu](const QPoint& at) { menu->popup(button->mapToGlobal(at)); });
    return menu;
}

} // namespace wirtello
