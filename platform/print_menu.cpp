#include "print_menu.h"

#include <QAbstractButton>
#include <QAction>
#include <QContextMenuEvent>
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

const QString kMouseOnly = QStringLiteral("prawy przycisk:");
const QString kMouseOrKey = QStringLiteral("prawy przycisk lub klawisz Menu:");

// The Menu key opens the menu below the button with its first entry chosen,
// so Enter prints at once and the arrows go on from there.
class MenuKeyOpens : public QObject {
public:
    MenuKeyOpens(QAbstractButton* button, QMenu* menu) : QObject(button), button_(button), menu_(menu) {}

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::ContextMenu
            || static_cast<QContextMenuEvent*>(event)->reason() != QContextMenuEvent::Keyboard)
            return false;
        if (!button_->isEnabled() || menu_->actions().isEmpty())
            return true;
        menu_->popup(button_->mapToGlobal(QPoint(0, button_->height())), menu_->actions().constFirst());
        menu_->setActiveAction(menu_->actions().constFirst());
        return true;
    }

private:
    QAbstractButton* button_;
    QMenu* menu_;
};

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
    button->installEventFilter(new MenuKeyOpens(button, menu));

    // Both ways to the menu are told, to the eye and to a screen reader.
    QString tip = button->toolTip();
    button->setToolTip(tip.replace(kMouseOnly, kMouseOrKey));
    button->setAccessibleDescription(QStringLiteral("Prawy przycisk myszy lub klawisz Menu otwiera menu: drukowanie, "
                                                    "podgląd wydruku, zapis jako PDF."));
    return menu;
}

} // namespace wirtello
