#include "qt_platform.h"
#include "platform/keyboard_access.h"

#include "platform/qt_print_surface.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <exception>

// Print dialog, print preview, PDF surface and font dialog.

namespace wirtello {
namespace {

struct NamedColour {
    const char* name;
    std::int32_t value; // 0x00BBGGRR or a system colour
};

const std::array<NamedColour, 17> kColours{{
    {"Tekst okna", kWindowTextColour},
    {"Czarny", 0x000000},
    {"Kasztanowy", 0x000080},
    {"Zielony", 0x008000},
    {"Oliwkowy", 0x008080},
    {"Granatowy", 0x800000},
    {"Purpurowy", 0x800080},
    {"Morski", 0x808000},
    {"Szary", 0x808080},
    {"Srebrny", 0xC0C0C0},
    {"Czerwony", 0x0000FF},
    {"Limonkowy", 0x00FF00},
    {"Żółty", 0x00FFFF},
    {"Niebieski", 0xFF0000},
    {"Fuksja", 0xFF00FF},
    {"Akwamaryna", 0xFFFF00},
    {"Biały", 0xFFFFFF},
}};

QPixmap swatch(std::int32_t colour)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(toQColor(colour));
    return pixmap;
}

// Face, size, style and colour: the fields of the print font record.
class FontChoiceDialog : public QDialog {
public:
    FontChoiceDialog(const FontChoice& initial, QWidget* parent)
        : QDialog(parent)
    {
        setObjectName(QStringLiteral("FontDialog1"));
        setWindowTitle(QStringLiteral("Czcionka"));
        nameComboBoxesByLabel();

        face_ = new QComboBox(this);
        face_->setObjectName(QStringLiteral("face"));
        face_->setEditable(false);
        fillFaces(QString::fromStdString(initial.face));
        size_ = new QSpinBox(this);
        size_->setObjectName(QStringLiteral("size"));
        size_->setRange(1, 1638);
        size_->setValue(initial.points > 0 ? std::min(initial.points, 1638) : 8);

        bold_ = styleBox(QStringLiteral("Pogrubiona"), QStringLiteral("bold"), initial.style & FontStyle::Bold);
        italic_ = styleBox(QStringLiteral("Kursywa"), QStringLiteral("italic"), initial.style & FontStyle::Italic);
        underline_ = styleBox(QStringLiteral("Podkreślenie"), QStringLiteral("underline"),
                              initial.style & FontStyle::Underline);
        strikeOut_ = styleBox(QStringLiteral("Przekreślenie"), QStringLiteral("strikeOut"),
                              initial.style & FontStyle::StrikeOut);

        colour_ = new QComboBox(this);
        colour_->setObjectName(QStringLiteral("colour"));
        for (const NamedColour& colour : kColours)
            colour_->addItem(swatch(colour.value), QString::fromUtf8(colour.name), colour.value);
        int index = colour_->findData(initial.colour);
        if (index < 0) {
            // A colour stored by another program stays selectable as it is.
            colour_->addItem(swatch(initial.colour), QStringLiteral("Inny"), initial.colour);
            index = colour_->count() - 1;
        }
        colour_->setCurrentIndex(index);

        face_->setAccessibleName(QStringLiteral("Czcionka"));
        size_->setAccessibleName(QStringLiteral("Rozmiar"));
        colour_->setAccessibleName(QStringLiteral("Kolor"));
        auto* form = new QFormLayout;
        form->addRow(QStringLiteral("Czcionka:"), face_);
        form->addRow(QStringLiteral("Rozmiar:"), size_);
        form->addRow(QStringLiteral("Kolor:"), colour_);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

        auto* layout = new QVBoxLayout(this);
        layout->addLayout(form);
        for (QCheckBox* box : {bold_, italic_, underline_, strikeOut_})
            layout->addWidget(box);
        layout->addWidget(buttons);
    }

    FontChoice choice() const
    {
        FontChoice result;
        result.face = face_->currentText().toStdString();
        result.points = size_->value();
        result.colour = colour_->currentData().toInt();
        result.style = static_cast<std::uint8_t>((bold_->isChecked() ? FontStyle::Bold : 0)
                                                 | (italic_->isChecked() ? FontStyle::Italic : 0)
                                                 | (underline_->isChecked() ? FontStyle::Underline : 0)
                                                 | (strikeOut_->isChecked() ? FontStyle::StrikeOut : 0));
        return result;
    }

private:
    // Only faces this machine has, each shown in itself; a stored face it
    // lacks stays first, as it is, until another is chosen.
    void fillFaces(const QString& stored)
    {
        for (const QString& family : QFontDatabase::families()) {
            if (QFontDatabase::isPrivateFamily(family))
                continue;
            face_->addItem(family);
            // A symbol face would show its own name as pictures.
            const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
            if (systems.contains(QFontDatabase::Latin) && !systems.contains(QFontDatabase::Symbol))
                face_->setItemData(face_->count() - 1, QFont(family, font().pointSize()), Qt::FontRole);
        }
        int index = stored.isEmpty() ? face_->findText(QFont().family(), Qt::MatchFixedString)
                                     : face_->findText(stored, Qt::MatchFixedString);
        if (index < 0 && !stored.isEmpty()) {
            face_->insertItem(0, stored);
            face_->setItemData(0, QStringLiteral("Tej czcionki nie ma w systemie; wydruk użyje podobnej."),
                               Qt::ToolTipRole);
            index = 0;
        }
        face_->setCurrentIndex(std::max(index, 0));
    }

    QCheckBox* styleBox(const QString& caption, const QString& name, bool checked)
    {
        auto* box = new QCheckBox(caption, this);
        box->setObjectName(name);
        box->setChecked(checked);
        return box;
    }

    QComboBox* face_ = nullptr;
    QSpinBox* size_ = nullptr;
    QCheckBox* bold_ = nullptr;
    QCheckBox* italic_ = nullptr;
    QCheckBox* underline_ = nullptr;
    QCheckBox* strikeOut_ = nullptr;
    QComboBox* colour_ = nullptr;
};

// Preview and PDF draw at the resolution the printouts are checked at.
constexpr int kFixedResolution = 300;

void setPaper(QPrinter& printer, PaperSize paper)
{
    if (paper == PaperSize::EnvelopeDL) {
        printer.setPageSize(QPageSize(QPageSize::DLE));
        printer.setPageOrientation(QPageLayout::Landscape);
    } else {
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Portrait);
    }
}

} // namespace

bool QtPlatform::previewPrintout(const QString& title, PaperSize paper, const PrintoutDrawing& draw)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setResolution(kFixedResolution);
    setPaper(printer, paper);
    printer.setDocName(title);

    QPrintPreviewDialog dialog(&printer, dialogParent());
    dialog.setWindowTitle(QStringLiteral("Podgląd wydruku – %1").arg(title));
    dialog.resize(900, 800);

    std::exception_ptr failure;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* target) {
        if (failure)
            return;
        try {
            QtPrintSurface surface(*target);
            draw(surface);
            // The printout may turn the page back once its job has ended;
            // the preview lays its pages out on the page they were drawn on.
            target->setPageLayout(surface.playedLayout());
        } catch (...) {
            // Nothing may unwind through Qt: the failure closes the preview
            // and is raised to the caller once the window has gone.
            failure = std::current_exception();
            QMetaObject::invokeMethod(&dialog, &QDialog::reject, Qt::QueuedConnection);
        }
    });

    // The preview's own print button would print behind the caller's back
    // (a cash document without its number); it hands over to the caller's
    // print path instead.
    bool printRequested = false;
    const QString printText = QCoreApplication::translate("QPrintPreviewDialog", "Print");
    for (QAction* action : dialog.findChildren<QAction*>()) {
        if (action->text() != printText)
            continue;
        action->disconnect(&dialog);
        QObject::connect(action, &QAction::triggered, &dialog, [&] {
            printRequested = true;
            dialog.accept();
        });
    }

    execModal(dialog);
    if (failure)
        std::rethrow_exception(failure);
    return printRequested;
}

std::unique_ptr<PrintSurface> QtPlatform::pdfSurface(const std::filesystem::path& file, PaperSize paper)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setResolution(kFixedResolution);
    setPaper(*printer, paper);
    auto surface = std::make_unique<QtPrintSurface>(std::move(printer), [this](const QString& text) { inform(text); });
    surface->writePdfTo(file);
    return surface;
}

std::unique_ptr<PrintSurface> QtPlatform::choosePrinter()
{
    // Without an installed printer Qt offers printing to a PDF file, and a job
    // that cannot start is reported by the surface.
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer.get(), dialogParent());
    dialog.setWindowTitle(QStringLiteral("Drukowanie"));
    // The surface honours the page range, copies and collation itself, so
    // the range comes to the printer object rather than to the print server.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (execModal(dialog) != QDialog::Accepted)
        return nullptr;
    return std::make_unique<QtPrintSurface>(std::move(printer), [this](const QString& text) { inform(text); });
}

std::optional<FontChoice> QtPlatform::chooseFont(const FontChoice& initial)
{
    FontChoiceDialog dialog(initial, dialogParent());
    if (execModal(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

} // namespace wirtello
