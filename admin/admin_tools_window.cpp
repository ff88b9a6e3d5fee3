#include "admin_tools_window.h"

#include "admin_picture.h"
#include "maker_info.h"
#include "network_mode.h"
#include "update_info.h"

#include "admin/run_records.h"
#include "platform/handler_guard.h"
#include "platform/keyboard_access.h"
#include "platform/platform.h"
#include "platform/window_look.h"
#include "store/io_error.h"
#include "store/program_folder.h"
#include "store/run_history.h"

#include <QFrame>
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
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return;
    std::filesystem::remove(path, ec);
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

void Tnarzedzia_f::build()
{
    const QFont arial = pixelFont(QStringLiteral("Arial"), 12);
    Panel1 = addPanel(this, QRect(8, 8, 367, 312), Qt::white);

    GroupBox1 = new QGroupBox(QStringLiteral("Operacja"), Panel1);
    GroupBox1->setGeometry(12, 16, 345, 149);
    GroupBox1->setFont(arial);
    paintBackground(GroupBox1, bgrColour(16053492));

    const auto addOperation = [&](const QString& caption, const QRect& geometry, const QString& description) {
        auto* button = new QRadioButton(caption, GroupBox1);
        button->setGeometry(geometry);
        button->setFont(arial);
        QPalette palette = button->palette();
        palette.setColor(QPalette::WindowText, kNavy);
        button->setPalette(palette);
        connect(button, &QRadioButton::toggled, this, [this, description](bool checked) {
            if (checked)
                SpeedButton2->setToolTip(hintText(description));
        });
        return button;
    };

    Image1 = new QLabel(Panel1);
    Image1->setGeometry(12, 171, 153, 133);
    Image1->setPixmap(QPixmap::fromImage(adminPicture(QStringLiteral(":/admin/narzedzia.jpg"))));

    SpeedButton3 = addFlatButton(Panel1, QStringLiteral("Sprawdź aktualizację"), QRect(216, 223, 141, 22), arial,
                                 kMaroon, standardGlyph(QStyle::SP_BrowserReload), GlyphSide::Right);
    SpeedButton2 = addFlatButton(Panel1, QStringLiteral("Wykonaj operację"), QRect(212, 251, 141, 22), arial, kMaroon,
                                 standardGlyph(QStyle::SP_DialogApplyButton), GlyphSide::Right);
    SpeedButton1 = addFlatButton(Panel1, QStringLiteral("Powrót"), QRect(212, 279, 141, 22), arial, kMaroon,
                                 standardGlyph(QStyle::SP_ArrowBack), GlyphSide::Right);
    // Created after the buttons: selecting one sets SpeedButton2's hint.
    op3 = addOperation(QStringLiteral("wykasowanie historii uruchomień"), QRect(16, 47, 205, 17), kHistoryDescription);
    op4 = addOperation(QStringLiteral("wykasowanie rejestru archiwizacji"), QRect(16, 70, 281, 17),
                       kArchiveDescription);

    onClick(SpeedButton3, platform_, [this] { SprawdzAktualizacje(); });
    onClick(SpeedButton2, platform_, [this] { WykonajOperacje(); });
    onClick(SpeedButton1, platform_, [this] { dismiss(); });
    makeKeyboardButton(SpeedButton3);
    makeKeyboardButton(SpeedButton2);
    makeKeyboardButton(SpeedButton1, QKeySequence(Qt::Key_Escape));
    // The operations above the buttons come first.
    QList<QWidget*> chain;
    for (QRadioButton* operation : GroupBox1->findChildren<QRadioButton*>())
        chain << operation;
    setTabChain(chain << SpeedButton3 << SpeedButton2 << SpeedButton1);

    Memo1 = new QTextEdit(this);
    Memo1->setGeometry(8, 326, 367, 65);
    Memo1->setFont(pixelFont(QStringLiteral("Arial"), 11));
    Memo1->setPlainText(QStringLiteral("Wszystkie operacje są możliwe do wykonania przez użytkownika \n"
                                       "zalogowane na prawach administratora. Przed wykonaniem wskazanej \n"
                                       "operacji zapoznaj się z opinią wsparcia technicznego aby uniknąć \n"
                                       "ewentualnych problemów."));
    QTextCursor cursor(Memo1->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.mergeBlockFormat(centred);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setEnabled(false);
}

void Tnarzedzia_f::initialise()
{
    folder_ = data_.programFolder;
}

void Tnarzedzia_f::WykonajOperacje()
{
    if (!platform_.ask(QStringLiteral("Wykonać wskazaną operację ?")))
        return;
    try {
        const std::filesystem::path& here = data_.programFolder;
        if (op3->isChecked()) {
            deleteQuietly(runHistoryPath(here));
            PobierzDane(data_, platform_);
        }
        if (op4->isChecked()) {
            for (const char* file : kArchiveRegister)
                deleteQuietly(fileIn(here, kAdminFolder, file));
        }
    } catch (const IoError& error) {
        platform_.showError(error);
        return;
    }
    platform_.inform(QStringLiteral("Wybrana operacja została zakończona"));
}

void Tnarzedzia_f::SprawdzAktualizacje()
{
    if (!platform_.isConnected())
        return;
    const std::filesystem::path target = fileIn(folder_, kAdminFolder, "27.txt");
    if (!platform_.download(updateUrl, target, downloadTimeoutMs)) {
        platform_.inform(QStringLiteral("Brak informacji o nowych wersjach tego programu."));
        return;
    }
    UpdateInfo info;
    try {
        info = readUpdateInfo(target);
    } catch (const IoError& error) {
        platform_.showError(error);
        return;
    }
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
