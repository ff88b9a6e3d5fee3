#include "admin_tools_window.h"
#include "ui_admin_tools_window.h"

#include "admin_picture.h"
#include "maker_info.h"
#include "network_mode.h"
#include "update_info.h"

#include "admin/run_records.h"
#include "platform/handler_guard.h"
#include "platform/keyboard_access.h"
#include "platform/platform.h"
#include "platform/window_look.h"
#include "store/confined_folder.h"
#include "store/io_error.h"
#include "store/program_folder.h"
#include "store/run_history.h"

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

#include <system_error>

namespace wirtello {
namespace {

const QString kHistoryDescription = QStringLiteral(
    "Operacja wyzeruje dane dotyczące historii uruchomień programu\rPoprzednie informacje ulegną skasowaniu");
const QString kArchiveDescription = QStringLiteral(
    "Operacja wyzeruje dane dotyczące archiwizacji programu\rPoprzednie informacje ulegną skasowaniu");

// The archive registers below "Admini".
constexpr const char* kArchiveRegister[] = {"data_ar.dat", "data_adr.dat", "data_or.dat", "data_odr.dat"};

// A hint shows each CR as a line break.
QString hintText(QString text)
{
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

// Deletes a file; one that is missing or cannot be deleted is passed over.
// Folders are never removed.
void deleteQuietly(const std::filesystem::path& path)
{
    // Only within the program folder: an Admini/ linked out loses nothing there.
    removeFileBeneath(path);
}

QString updateMessage(const char* kind, const QString& downloadText)
{
    return QStringLiteral("Na stronie ") + QString::fromUtf8(maker::kWebAddress) + QStringLiteral(" znajduję się nowa, ")
        + QString::fromUtf8(kind) + QStringLiteral(" aktualizacja programu.\rPobierz aktualną wersje programu ")
        + downloadText;
}

} // namespace

Tnarzedzia_f::Tnarzedzia_f(AppData& data, Platform& platform, WidgetBuilding building)
    : updateUrl(QString::fromUtf8(maker::kUpdateUrl)), installedVersion(maker::kInstalledVersion), data_(data), platform_(platform)
{
    setObjectName(QStringLiteral("Tnarzedzia_f"));
    setWindowTitle(QStringLiteral("Narzędzia administratora"));
    setFixedClientSize(385, 399);
    setFont(pixelFont(QStringLiteral("Tahoma"), 11));
    paintBackground(this, bgrColour(15987699));
    buildWidgetsIf(building);
}

Tnarzedzia_f::~Tnarzedzia_f() = default;

void Tnarzedzia_f::build()
{
    ui_ = std::make_unique<Ui::Tnarzedzia_f>();
    ui_->setupUi(this);

    // What the Designer file cannot say: pixel fonts, colours, the picture and glyphs.
    const QFont arial = pixelFont(QStringLiteral("Arial"), 12);
    paintBackground(ui_->Panel1, Qt::white);
    ui_->GroupBox1->setFont(arial);
    paintBackground(ui_->GroupBox1, bgrColour(16053492));
    // Selecting an operation makes its description SpeedButton2's hint.
    const struct {
        QRadioButton* button;
        const QString& description;
    } operations[] = {{ui_->op3, kHistoryDescription}, {ui_->op4, kArchiveDescription}};
    for (const auto& operation : operations) {
        operation.button->setFont(arial);
        setColour(operation.button, QPalette::WindowText, kNavy);
        connect(operation.button, &QRadioButton::toggled, this, [this, hint = hintText(operation.description)](bool checked) {
            if (checked)
                ui_->SpeedButton2->setToolTip(hint);
        });
    }
    ui_->Image1->setPixmap(QPixmap::fromImage(adminPicture(QStringLiteral(":/admin/narzedzia.jpg"))));

    const struct {
        QToolButton* button;
        QStyle::StandardPixmap glyph;
        void (Tnarzedzia_f::*handler)();
        QKeySequence shortcut;
    } buttons[] = {
        {ui_->SpeedButton3, QStyle::SP_BrowserReload, &Tnarzedzia_f::SprawdzAktualizacje, {}},
        {ui_->SpeedButton2, QStyle::SP_DialogApplyButton, &Tnarzedzia_f::WykonajOperacje, {}},
        {ui_->SpeedButton1, QStyle::SP_ArrowBack, &Tnarzedzia_f::dismiss, QKeySequence(Qt::Key_Escape)},
    };
    for (const auto& look : buttons) {
        styleFlatButton(look.button, arial, kMaroon, standardGlyph(look.glyph), GlyphSide::Right);
        onClick(look.button, platform_, [this, handler = look.handler] { (this->*handler)(); });
        makeKeyboardButton(look.button, look.shortcut);
    }
    // The operations above the buttons come first.
    setTabChain({ui_->op3, ui_->op4, ui_->SpeedButton3, ui_->SpeedButton2, ui_->SpeedButton1});

    ui_->Memo1->setFont(pixelFont(QStringLiteral("Arial"), 11));
    QTextCursor cursor(ui_->Memo1->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.mergeBlockFormat(centred);
}

void Tnarzedzia_f::initialise()
{
    folder_ = data_.programFolder;
}

void Tnarzedzia_f::WykonajOperacje()
{
    if (!platform_.ask(QStringLiteral("Wykonać wskazaną operację ?")))
        return;
    // A failed step raises: the guard shows it and the closing message is not given.
    const std::filesystem::path& here = data_.programFolder;
    if (ui_->op3->isChecked()) {
        deleteQuietly(runHistoryPath(here));
        PobierzDane(data_, platform_);
    }
    if (ui_->op4->isChecked()) {
        for (const char* file : kArchiveRegister)
            deleteQuietly(fileIn(here, kAdminFolder, file));
    }
    platform_.inform(QStringLiteral("Wybrana operacja została zakończona"));
}

void Tnarzedzia_f::SprawdzAktualizacje()
{
    if (!platform_.isConnected())
        return;
    const std::filesystem::path target = fileIn(folder_, kAdminFolder, "27.txt");
    // The download is saved through the folder held open here, so an Admini/
    // swapped for a link meanwhile does not take it elsewhere.
    FileDescriptor admin;
    try {
        admin = openFolderBeneath(target.parent_path(), kWriteFailed);
    } catch (const IoError&) {
        // Nowhere to write it, as when the download fails.
    }
    if (!admin.valid() || !platform_.download(updateUrl, heldFolderPath(admin) / target.filename(), downloadTimeoutMs)) {
        platform_.inform(QStringLiteral("Brak informacji o nowych wersjach tego programu."));
        return;
    }
    const UpdateInfo info = readUpdateInfo(target);
    const QString downloadText = QString::fromStdString(info.downloadText);
    switch (compareUpdate(installedVersion, info)) {
    case UpdateOutcome::UpToDate:
        platform_.inform(QStringLiteral("Posiadasz aktualną wersje programu."));
        break;
    case UpdateOutcome::FreeUpdate:
        platform_.inform(updateMessage("darmowa", downloadText));
        break;
    case UpdateOutcome::PaidUpdate:
        platform_.inform(updateMessage("płatna", downloadText));
        break;
    case UpdateOutcome::None:
        break;
    }
}

} // namespace wirtello
