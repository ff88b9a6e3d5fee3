#include "envelope_window.h"
#include "ui_envelope_window.h"

#include "envelope/logo_picture.h"
#include "platform/handler_guard.h"
#include "platform/keyboard_access.h"
#include "platform/platform.h"
#include "platform/qt_picture.h"
#include "platform/session_end.h"
#include "platform/window_look.h"
#include "print/print_actions.h"
#include "store/program_folder.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

#include <system_error>

namespace wirtello {
namespace {

constexpr int kRightEdge = 816;

QString defaultCaption()
{
    return QStringLiteral("Adresowanie kopert - profil domyślny");
}

std::string utf8(const QLineEdit* edit)
{
    return edit->text().toStdString();
}

QString qText(const std::string& utf8Text)
{
    return QString::fromStdString(utf8Text);
}

} // namespace

Tkoperta_f::Tkoperta_f(AppData& data, Platform& platform, CurrentPrintFont& printFont, WidgetBuilding building)
    : data_(data), platform_(platform), printFont_(printFont)
{
    setObjectName(QStringLiteral("Tkoperta_f"));
    setWindowTitle(defaultCaption());
    setFixedClientSize(824, 548);
    buildWidgetsIf(building);
    // An open envelope keeps its sender line as "Koniec" keeps it, when the session ends instead.
    onSessionEnd(this, [this] {
        if (widgetsBuilt() && isVisible())
            storeSenderLine();
    });
}

Tkoperta_f::~Tkoperta_f() = default;

void Tkoperta_f::build()
{
    buildLayout();
    n_ = {ui_->n1, ui_->n2, ui_->n3, ui_->n4};
    l_ = {ui_->l1, ui_->l2, ui_->l3, ui_->l4};
    g_ = {ui_->g1, ui_->g2, ui_->g3, ui_->g4};
    presets_ = {ui_->RadioButton1, ui_->RadioButton2, ui_->RadioButton3, ui_->RadioButton4};
    o_ = {ui_->o1, ui_->o2, ui_->o3, ui_->o4, ui_->o5};

    connectHandlers();
    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start();
    setUpKeyboard();
}

// Every handler runs through the click guard, which shows a failed step in
// the error box; the print menu's entries are no clicks and get it here.
void Tkoperta_f::connectHandlers()
{
    for (int i = 0; i < 4; ++i)
        onClick(presets_[i], platform_, [this, i] { showPreset(i + 1); });
    onClick(ui_->SpeedButton1, platform_, [this] { saveDefaults(); });
    onClick(ui_->SpeedButton2, platform_, [this] { readDefaults(); });
    onClick(ui_->SpeedButton3, platform_, [this] { choosePrintFont(); });
    onClick(ui_->SpeedButton4, platform_, [this] { saveProfile(); });
    onClick(ui_->SpeedButton5, platform_, [this] { readProfile(); });
    onClick(ui_->SpeedButton6, platform_, [this] { showHelp(); });
    onClick(ui_->SpeedButton7, platform_, [this] { printEnvelope(); });
    addPrintMenu(ui_->SpeedButton7, [this](PrintDestination destination) {
        runGuarded(platform_, [this, destination] { printEnvelope(destination); });
    });
    onClick(ui_->SpeedButton8, platform_, [this] { attachPicture(); });
    onClick(ui_->SpeedButton9, platform_, [this] { detachPicture(); });
    onClick(ui_->SpeedButton10, platform_, [this] { finish(); });
    onClick(ui_->SpeedButton11, platform_, [this] { hideHelp(); });
}

void Tkoperta_f::setUpKeyboard()
{
    for (QToolButton* button : {ui_->SpeedButton8, ui_->SpeedButton9, ui_->SpeedButton1, ui_->SpeedButton2,
                                ui_->SpeedButton3, ui_->SpeedButton4, ui_->SpeedButton5, ui_->SpeedButton6})
        makeKeyboardButton(button);
    makeKeyboardButton(ui_->SpeedButton7, QKeySequence(Qt::CTRL | Qt::Key_P));
    makeKeyboardButton(ui_->SpeedButton10, QKeySequence(Qt::Key_Escape));
    makeKeyboardButton(ui_->SpeedButton11, QKeySequence(Qt::Key_Escape));

    // Panel by panel: sender, envelope and logo parameters, the button column, recipient.
    QList<QWidget*> chain{ui_->n1, ui_->n2, ui_->n3, ui_->n4};
    for (int i = 0; i < 4; ++i)
        chain << l_[i] << g_[i] << presets_[i];
    chain << ui_->poziomo << ui_->l_n << ui_->g_n << ui_->od << ui_->l_log << ui_->g_log << ui_->SpeedButton8
          << ui_->SpeedButton9 << ui_->logo << ui_->nazwa;
    chain << ui_->SpeedButton1 << ui_->SpeedButton2 << ui_->SpeedButton3 << ui_->SpeedButton4 << ui_->SpeedButton5
          << ui_->SpeedButton6 << ui_->SpeedButton7;
    for (QLineEdit* edit : o_)
        chain << edit;
    chain << ui_->SpeedButton10;
    setTabChain(chain);
    letShortcutsPassEdits(this);

    // Names a screen reader gives the fields, after the captions that stand by them.
    for (int i = 0; i < 4; ++i) {
        n_[i]->setAccessibleName(QStringLiteral("%1 %2").arg(ui_->Label1->text()).arg(i + 1));
        l_[i]->setAccessibleName(
            QStringLiteral("%1 %2 %3").arg(ui_->Label3->text(), ui_->Label4->text(), presets_[i]->text()));
        g_[i]->setAccessibleName(
            QStringLiteral("%1 %2 %3").arg(ui_->Label3->text(), ui_->Label5->text(), presets_[i]->text()));
        o_[i + 1]->setAccessibleName(QStringLiteral("%1 %2").arg(ui_->Label16->text()).arg(i + 1));
    }
    for (const auto& [caption, edit] :
         {std::pair{ui_->Label8, ui_->l_n}, {ui_->Label9, ui_->g_n}, {ui_->Label10, ui_->od}})
        edit->setAccessibleName(QStringLiteral("%1 %2").arg(ui_->Label6->text(), caption->text()));
    for (const auto& [caption, edit] : {std::pair{ui_->Label12, ui_->l_log}, {ui_->Label13, ui_->g_log}})
        edit->setAccessibleName(QStringLiteral("%1 %2").arg(ui_->Label11->text(), caption->text()));
    ui_->Label14->setBuddy(ui_->nazwa);
    ui_->Label17->setBuddy(ui_->o1);
}

void Tkoperta_f::addressTo(const EnvelopeAddress& card)
{
    buildWidgets();
    ui_->o2->setText(card.firstLine);
    ui_->o3->setText(card.secondLine);
    ui_->o4->setText(card.street);
    ui_->o5->setText(card.town);
    for (int i = 0; i < 3; ++i)
        n_[i]->setText(qText(data_.company.line(i + 1)));
    ui_->n4->clear();
}

void Tkoperta_f::initialise()
{
    if (!resolveDataFolder(platform_, data_.programFolder, false))
        return;

    // Before the widgets are built only the files are read (and made when
    // missing) and the logo loaded; the opening that builds them shows it all.
    const bool showing = widgetsBuilt();
    if (showing) {
        tickPreset(1);
        ui_->poziomo->setChecked(false);
        ui_->logo->setChecked(false);
        closePanel(ui_->Panel3);
        for (QLineEdit* edit : {ui_->l1, ui_->l2, ui_->l3, ui_->l4, ui_->l_n, ui_->g1, ui_->g2, ui_->g3, ui_->g4,
                                ui_->g_n, ui_->od, ui_->nazwa, ui_->l_log, ui_->g_log})
            edit->clear();
    }

    // Run at opening, not by a click: the guard is here, and a failed step
    // keeps the window closed.
    bool completed = false;
    runGuarded(platform_, [this, showing, &completed] {
        logoRecord_ = loadOrCreate<LogoSettingsRecord>(logoSettingsPath(dataFolder()));
        settingsRecord_ =
            loadOrCreate<EnvelopeSettingsRecord>(envelopeSettingsPath(dataFolder()), defaultEnvelopeSettings());
        if (showing) {
            showLogoSettings(logoRecord_.logo());
            showSettings(settingsRecord_.settings(), false);
            showPreset(1);
        }
        loadNamedPicture();
        formaRecord_ = loadOrCreate<FormaRecord>(formaPath(dataFolder()));
        choiceRecord_ = loadOrCreate<LayoutChoiceRecord>(layoutChoicePath(dataFolder()));
        if (showing) {
            ui_->o1->setText(qText(formaRecord_.forma()));
            LayoutTicks shown = ticks();
            applyLayoutChoice(choiceRecord_.choice(), shown);
            applyTicks(shown);
        }
        setWindowTitle(defaultCaption());
        completed = true;
    });
    if (!completed)
        initialiseFailed();
}

void Tkoperta_f::showPreset(int preset)
{
    if (preset < 1 || preset > 4)
        return;
    setRightAligned(ui_->Label7,
                    QStringLiteral("Rozmiar ") + l_[preset - 1]->text() + QStringLiteral("X") + g_[preset - 1]->text(),
                    kRightEdge);
}

void Tkoperta_f::saveDefaults()
{
    settingsRecord_.setSettings(typedSettings());
    storeRecord(envelopeSettingsPath(dataFolder()), settingsRecord_);
    logoRecord_.setLogo(typedLogoSettings());
    storeRecord(logoSettingsPath(dataFolder()), logoRecord_);
    choiceRecord_.setChoice(layoutChoiceOf(ticks(), choiceRecord_.choice()));
    storeRecord(layoutChoicePath(dataFolder()), choiceRecord_);
    enableLogoTickForFile();
}

void Tkoperta_f::readDefaults()
{
    if (!platform_.ask(QStringLiteral("Wczytać ustawienia domyślne ?")))
        return;
    tickPreset(1);
    ui_->poziomo->setChecked(false);
    ui_->logo->setChecked(false);
    choiceRecord_ = loadRecord<LayoutChoiceRecord>(layoutChoicePath(dataFolder()));
    LayoutTicks shown = ticks();
    applyLayoutChoice(choiceRecord_.choice(), shown);
    applyTicks(shown);
    logoRecord_ = loadRecord<LogoSettingsRecord>(logoSettingsPath(dataFolder()));
    showLogoSettings(logoRecord_.logo());
    settingsRecord_ = loadRecord<EnvelopeSettingsRecord>(envelopeSettingsPath(dataFolder()));
    showSettings(settingsRecord_.settings(), true);
    showPreset(tickedPreset());
    loadNamedPicture();
    setWindowTitle(defaultCaption());
}

void Tkoperta_f::choosePrintFont()
{
    wirtello::choosePrintFont(platform_, printFont_);
}

FileDialogRequest Tkoperta_f::profileDialog(const QString& title) const
{
    // Profiles live in "Koperty"; a data folder made without it gets it here
    // rather than sending the dialog somewhere unrelated.
    const std::filesystem::path folder = profilesFolder(dataFolder());
    std::error_code ignored;
    if (!std::filesystem::is_directory(folder, ignored))
        std::filesystem::create_directory(folder, ignored);
    FileDialogRequest request;
    request.title = title;
    request.filter = QStringLiteral("Pliki profilów|*.pro");
    request.defaultExtension = QStringLiteral("pro");
    request.startFolder = std::filesystem::is_directory(folder, ignored) ? folder : dataFolder();
    return request;
}

void Tkoperta_f::saveProfile()
{
    const std::optional<std::filesystem::path> chosen =
        platform_.saveFile(profileDialog(QStringLiteral("Zapisz profil")));
    if (!chosen)
        return;
    profileRecord_.setSettings(typedSettings());
    profileRecord_.setLogo(typedLogoSettings());
    profileRecord_.setChoice(layoutChoiceOf(ticks(), profileRecord_.choice()));
    storeRecord(withProfileExtension(*chosen), profileRecord_);
}

void Tkoperta_f::readProfile()
{
    const std::optional<std::filesystem::path> chosen =
        platform_.openFile(profileDialog(QStringLiteral("Czytaj profil")));
    if (!chosen)
        return;
    std::filesystem::path path = *chosen;
    if (!fileExists(path) && fileExists(withProfileExtension(path)))
        path = withProfileExtension(path);
    profileRecord_ = loadRecord<EnvelopeProfileRecord>(path);
    showSettings(profileRecord_.settings(), true);
    showLogoSettings(profileRecord_.logo());
    LayoutTicks shown = ticks();
    applyLayoutChoice(profileRecord_.choice(), shown);
    applyTicks(shown);
    showPreset(tickedPreset());
    loadNamedPicture();
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    setWindowTitle(QStringLiteral("Adresowanie kopert ") + QString::fromStdString((ec ? path : full).string()));
}

void Tkoperta_f::attachPicture()
{
    std::error_code ec;
    const std::filesystem::path logoFolder = joinPath(dataFolder(), kLogoFolder);
    FileDialogRequest request;
    request.title = QStringLiteral("Dołącz obrazek");
    request.filter = QStringLiteral("Pliki graficzne|*.jpg");
    request.defaultExtension = QStringLiteral("jpg");
    request.startFolder = std::filesystem::is_directory(logoFolder, ec) ? logoFolder : dataFolder();
    const std::optional<std::filesystem::path> chosen = platform_.openFile(request);
    if (!chosen)
        return;
    const std::filesystem::path full = std::filesystem::absolute(*chosen, ec);
    ui_->nazwa->setText(QString::fromStdString((ec ? *chosen : full).string()));
    loadNamedPicture();
}

void Tkoperta_f::detachPicture()
{
    // No picture named, none printed: the tick goes with the picture.
    ui_->nazwa->clear();
    dropPicture();
    ui_->logo->setChecked(false);
}

void Tkoperta_f::showHelp()
{
    ui_->Panel3->setGeometry(93, 62, 636, 390);
    openPanel(ui_->Panel3, ui_->Memo1); // the help is read first; Tab reaches "Powrót"
}

void Tkoperta_f::hideHelp()
{
    closePanel(ui_->Panel3);
}

void Tkoperta_f::printEnvelope(PrintDestination destination)
{
    const PrintoutTarget target{QStringLiteral("Koperta"), PaperSize::EnvelopeDL, QStringLiteral("koperta.pdf")};
    printTo(platform_, destination, target, [this](PrintSurface& surface, PrintDestination) {
        CzytajFonty(printFont_, kPrintFontFile);
        drawEnvelope(surface, printFont_, envelopeLayout(), logo_);
    });
}

void Tkoperta_f::finish()
{
    if (!platform_.ask(QStringLiteral("Koniec pracy ?")))
        return;
    storeSenderLine();
    dismiss();
}

void Tkoperta_f::storeSenderLine()
{
    formaRecord_.setForma(utf8(ui_->o1));
    storeRecord(formaPath(dataFolder()), formaRecord_);
}

void Tkoperta_f::Timer1Timer()
{
    setRightAligned(ui_->Label15, platform_.formatLongTime(platform_.now().time()), kRightEdge);
}

EnvelopeLayout Tkoperta_f::envelopeLayout() const
{
    EnvelopeLayout layout;
    layout.settings = typedSettings();
    layout.logo = typedLogoSettings();
    for (std::size_t i = 0; i < o_.size(); ++i)
        layout.recipient[i] = utf8(o_[i]);
    layout.ticks = ticks();
    return layout;
}

int Tkoperta_f::tickedPreset() const
{
    for (int i = 0; i < 4; ++i)
        if (presets_[i]->isChecked())
            return i + 1;
    return 0;
}

void Tkoperta_f::tickPreset(int preset)
{
    if (preset < 1 || preset > 4 || presets_[preset - 1]->isChecked())
        return;
    presets_[preset - 1]->setChecked(true);
    showPreset(preset);
}

LayoutTicks Tkoperta_f::ticks() const
{
    return {tickedPreset(), ui_->logo->isChecked(), ui_->poziomo->isChecked()};
}

void Tkoperta_f::applyTicks(const LayoutTicks& shown)
{
    tickPreset(shown.preset);
    ui_->logo->setChecked(shown.logo);
    ui_->poziomo->setChecked(shown.landscape);
}

void Tkoperta_f::showSettings(const EnvelopeSettings& settings, bool withSender)
{
    if (withSender)
        for (int i = 0; i < 4; ++i)
            n_[i]->setText(qText(settings.sender[i]));
    for (int i = 0; i < 4; ++i) {
        l_[i]->setText(qText(settings.left[i]));
        g_[i]->setText(qText(settings.top[i]));
    }
    ui_->l_n->setText(qText(settings.senderLeft));
    ui_->g_n->setText(qText(settings.senderTop));
    ui_->od->setText(qText(settings.spacing));
}

void Tkoperta_f::showLogoSettings(const LogoSettings& logoSettings)
{
    ui_->nazwa->setText(qText(logoSettings.path));
    ui_->l_log->setText(qText(logoSettings.left));
    ui_->g_log->setText(qText(logoSettings.top));
}

EnvelopeSettings Tkoperta_f::typedSettings() const
{
    EnvelopeSettings settings;
    for (int i = 0; i < 4; ++i) {
        settings.sender[i] = utf8(n_[i]);
        settings.left[i] = utf8(l_[i]);
        settings.top[i] = utf8(g_[i]);
    }
    settings.spacing = utf8(ui_->od);
    settings.senderLeft = utf8(ui_->l_n);
    settings.senderTop = utf8(ui_->g_n);
    return settings;
}

LogoSettings Tkoperta_f::typedLogoSettings() const
{
    return {utf8(ui_->nazwa), utf8(ui_->l_log), utf8(ui_->g_log)};
}

std::string Tkoperta_f::pictureName() const
{
    return widgetsBuilt() ? utf8(ui_->nazwa) : logoRecord_.logo().path;
}

std::filesystem::path Tkoperta_f::picturePath() const
{
    const std::string text = pictureName();
    // A name without a folder (a hand-made file), or a Windows path of a folder
    // brought over, is found below the data folder, then below the program folder.
    const std::filesystem::path path = resolveStoredPath(dataFolder(), text);
    if (text.empty() || fileExists(path) || dataFolder() == data_.programFolder)
        return path;
    const std::filesystem::path inProgramFolder = resolveStoredPath(data_.programFolder, text);
    return fileExists(inProgramFolder) ? inProgramFolder : path;
}

bool Tkoperta_f::pictureFileExists() const
{
    const std::filesystem::path path = picturePath();
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

void Tkoperta_f::loadNamedPicture()
{
    if (!pictureFileExists()) {
        dropPicture();
        return;
    }
    try {
        Picture picture = loadLogoPicture(picturePath());
        const QPixmap preview = widgetsBuilt() ? QPixmap::fromImage(toQImage(picture)) : QPixmap();
        logo_ = std::move(picture);
        if (widgetsBuilt()) {
            ui_->Image2->setPixmap(preview);
            ui_->logo->setEnabled(true);
        }
    } catch (const IoError& error) {
        dropPicture();
        platform_.showError(error);
    } catch (const std::exception& error) {
        dropPicture();
        platform_.showFailure(failureText(error));
    }
}

void Tkoperta_f::dropPicture()
{
    logo_ = Picture{};
    if (widgetsBuilt()) {
        ui_->Image2->setPixmap(emptyPreviewPicture(ui_->Image2->size()));
        ui_->logo->setEnabled(false);
    }
}

void Tkoperta_f::enableLogoTickForFile()
{
    ui_->logo->setEnabled(pictureFileExists() && !logo_.isNull());
}

} // namespace wirtello
