#include "envelope_window.h"

#include "envelope/logo_picture.h"
#include "platform/handler_guard.h"
#include "platform/keyboard_access.h"
#include "platform/platform.h"
#include "platform/qt_picture.h"
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
}

void Tkoperta_f::build()
{
    buildLayout();

    for (int i = 0; i < 4; ++i)
        connect(RadioButton[i], &QRadioButton::clicked, this, [this, i] { showPreset(i + 1); });
    onClick(SpeedButton1, platform_, [this] { saveDefaults(); });
    onClick(SpeedButton2, platform_, [this] { readDefaults(); });
    onClick(SpeedButton3, platform_, [this] { choosePrintFont(); });
    onClick(SpeedButton4, platform_, [this] { saveProfile(); });
    onClick(SpeedButton5, platform_, [this] { readProfile(); });
    onClick(SpeedButton6, platform_, [this] { showHelp(); });
    onClick(SpeedButton7, platform_, [this] { printEnvelope(); });
    addPrintMenu(SpeedButton7, [this](PrintDestination destination) { printEnvelope(destination); });
    onClick(SpeedButton8, platform_, [this] { attachPicture(); });
    onClick(SpeedButton9, platform_, [this] { detachPicture(); });
    onClick(SpeedButton10, platform_, [this] { finish(); });
    onClick(SpeedButton11, platform_, [this] { hideHelp(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start();
    setUpKeyboard();
}

void Tkoperta_f::setUpKeyboard()
{
    for (QToolButton* button : {SpeedButton8, SpeedButton9, SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4,
                                SpeedButton5, SpeedButton6})
        makeKeyboardButton(button);
    makeKeyboardButton(SpeedButton7, QKeySequence(Qt::CTRL | Qt::Key_P));
    makeKeyboardButton(SpeedButton10, QKeySequence(Qt::Key_Escape));
    makeKeyboardButton(SpeedButton11, QKeySequence(Qt::Key_Escape));

    // Panel by panel: sender, envelope and logo parameters, the button column, recipient.
    QList<QWidget*> chain{n1, n2, n3, n4};
    for (int i = 0; i < 4; ++i)
        chain << l[i] << g[i] << RadioButton[i];
    chain << poziomo << l_n << g_n << od << l_log << g_log << SpeedButton8 << SpeedButton9 << logo << nazwa;
    chain << SpeedButton1 << SpeedButton2 << SpeedButton3 << SpeedButton4 << SpeedButton5 << SpeedButton6
          << SpeedButton7;
    for (QLineEdit* edit : o)
        chain << edit;
    chain << SpeedButton10;
    setTabChain(chain);
    letShortcutsPassEdits(this);

    // Names a screen reader gives the fields, after the captions that stand by them.
    for (int i = 0; i < 4; ++i) {
        n[i]->setAccessibleName(QStringLiteral("%1 %2").arg(Label1->text()).arg(i + 1));
        l[i]->setAccessibleName(QStringLiteral("%1 %2 %3").arg(Label3->text(), Label4->text(), RadioButton[i]->text()));
        g[i]->setAccessibleName(QStringLiteral("%1 %2 %3").arg(Label3->text(), Label5->text(), RadioButton[i]->text()));
        o[i + 1]->setAccessibleName(QStringLiteral("%1 %2").arg(Label16->text()).arg(i + 1));
    }
    for (const auto& [caption, edit] : {std::pair{Label8, l_n}, {Label9, g_n}, {Label10, od}})
        edit->setAccessibleName(QStringLiteral("%1 %2").arg(Label6->text(), caption->text()));
    for (const auto& [caption, edit] : {std::pair{Label12, l_log}, {Label13, g_log}})
        edit->setAccessibleName(QStringLiteral("%1 %2").arg(Label11->text(), caption->text()));
    Label14->setBuddy(nazwa);
    Label17->setBuddy(o1);
}

void Tkoperta_f::addressTo(const EnvelopeAddress& card)
{
    buildWidgets();
    o2->setText(card.firstLine);
    o3->setText(card.secondLine);
    o4->setText(card.street);
    o5->setText(card.town);
    for (int i = 0; i < 3; ++i)
        n[i]->setText(qText(data_.company.line(i + 1)));
    n4->clear();
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
        poziomo->setChecked(false);
        logo->setChecked(false);
        closePanel(Panel3);
        for (QLineEdit* edit : {l1, l2, l3, l4, l_n, g1, g2, g3, g4, g_n, od, nazwa, l_log, g_log})
            edit->clear();
    }

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
            o1->setText(qText(formaRecord_.forma()));
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
    setRightAligned(Label7,
                    QStringLiteral("Rozmiar ") + l[preset - 1]->text() + QStringLiteral("X") + g[preset - 1]->text(),
                    kRightEdge);
}

void Tkoperta_f::saveDefaults()
{
    runGuarded(platform_, [this] {
        settingsRecord_.setSettings(typedSettings());
        storeRecord(envelopeSettingsPath(dataFolder()), settingsRecord_);
        logoRecord_.setLogo(typedLogoSettings());
        storeRecord(logoSettingsPath(dataFolder()), logoRecord_);
        choiceRecord_.setChoice(layoutChoiceOf(ticks(), choiceRecord_.choice()));
        storeRecord(layoutChoicePath(dataFolder()), choiceRecord_);
        enableLogoTickForFile();
    });
}

void Tkoperta_f::readDefaults()
{
    if (!platform_.ask(QStringLiteral("Wczytać ustawienia domyślne ?")))
        return;
    runGuarded(platform_, [this] {
        tickPreset(1);
        poziomo->setChecked(false);
        logo->setChecked(false);
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
    });
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
    runGuarded(platform_, [this] {
        const std::optional<std::filesystem::path> chosen = platform_.saveFile(profileDialog(QStringLiteral("Zapisz profil")));
        if (!chosen)
            return;
        profileRecord_.setSettings(typedSettings());
        profileRecord_.setLogo(typedLogoSettings());
        profileRecord_.setChoice(layoutChoiceOf(ticks(), profileRecord_.choice()));
        storeRecord(withProfileExtension(*chosen), profileRecord_);
    });
}

void Tkoperta_f::readProfile()
{
    runGuarded(platform_, [this] {
        const std::optional<std::filesystem::path> chosen = platform_.openFile(profileDialog(QStringLiteral("Czytaj profil")));
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
    });
}

void Tkoperta_f::attachPicture()
{
    runGuarded(platform_, [this] {
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
        nazwa->setText(QString::fromStdString((ec ? *chosen : full).string()));
        loadNamedPicture();
    });
}

void Tkoperta_f::detachPicture()
{
    // No picture named, none printed: the tick goes with the picture.
    nazwa->clear();
    dropPicture();
    logo->setChecked(false);
}

void Tkoperta_f::showHelp()
{
    Panel3->setGeometry(93, 62, 636, 390);
    openPanel(Panel3, SpeedButton11);
}

void Tkoperta_f::hideHelp()
{
    closePanel(Panel3);
}

void Tkoperta_f::printEnvelope(PrintDestination destination)
{
    runGuarded(platform_, [this, destination] {
        const PrintoutTarget target{QStringLiteral("Koperta"), PaperSize::EnvelopeDL, QStringLiteral("koperta.pdf")};
        printTo(platform_, destination, target, [this](PrintSurface& surface, PrintDestination) {
            CzytajFonty(printFont_, kPrintFontFile);
            drawEnvelope(surface, printFont_, envelopeLayout(), logo_);
        });
    });
}

void Tkoperta_f::finish()
{
    if (!platform_.ask(QStringLiteral("Koniec pracy ?")))
        return;
    runGuarded(platform_, [this] {
        formaRecord_.setForma(utf8(o1));
        storeRecord(formaPath(dataFolder()), formaRecord_);
        dismiss();
    });
}

void Tkoperta_f::Timer1Timer()
{
    setRightAligned(Label15, platform_.formatLongTime(platform_.now().time()), kRightEdge);
}

EnvelopeLayout Tkoperta_f::envelopeLayout() const
{
    EnvelopeLayout layout;
    layout.settings = typedSettings();
    layout.logo = typedLogoSettings();
    for (std::size_t i = 0; i < o.size(); ++i)
        layout.recipient[i] = utf8(o[i]);
    layout.ticks = ticks();
    return layout;
}

int Tkoperta_f::tickedPreset() const
{
    for (int i = 0; i < 4; ++i)
        if (RadioButton[i]->isChecked())
            return i + 1;
    return 0;
}

void Tkoperta_f::tickPreset(int preset)
{
    if (preset < 1 || preset > 4 || RadioButton[preset - 1]->isChecked())
        return;
    RadioButton[preset - 1]->setChecked(true);
    showPreset(preset);
}

LayoutTicks Tkoperta_f::ticks() const
{
    return {tickedPreset(), logo->isChecked(), poziomo->isChecked()};
}

void Tkoperta_f::applyTicks(const LayoutTicks& shown)
{
    tickPreset(shown.preset);
    logo->setChecked(shown.logo);
    poziomo->setChecked(shown.landscape);
}

void Tkoperta_f::showSettings(const EnvelopeSettings& settings, bool withSender)
{
    if (withSender)
        for (int i = 0; i < 4; ++i)
            n[i]->setText(qText(settings.sender[i]));
    for (int i = 0; i < 4; ++i) {
        l[i]->setText(qText(settings.left[i]));
        g[i]->setText(qText(settings.top[i]));
    }
    l_n->setText(qText(settings.senderLeft));
    g_n->setText(qText(settings.senderTop));
    od->setText(qText(settings.spacing));
}

void Tkoperta_f::showLogoSettings(const LogoSettings& logoSettings)
{
    nazwa->setText(qText(logoSettings.path));
    l_log->setText(qText(logoSettings.left));
    g_log->setText(qText(logoSettings.top));
}

EnvelopeSettings Tkoperta_f::typedSettings() const
{
    EnvelopeSettings settings;
    for (int i = 0; i < 4; ++i) {
        settings.sender[i] = utf8(n[i]);
        settings.left[i] = utf8(l[i]);
        settings.top[i] = utf8(g[i]);
    }
    settings.spacing = utf8(od);
    settings.senderLeft = utf8(l_n);
    settings.senderTop = utf8(g_n);
    return settings;
}

LogoSettings Tkoperta_f::typedLogoSettings() const
{
    return {utf8(nazwa), utf8(l_log), utf8(g_log)};
}

std::string Tkoperta_f::pictureName() const
{
    return widgetsBuilt() ? utf8(nazwa) : logoRecord_.logo().path;
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
            Image2->setPixmap(preview);
            logo->setEnabled(true);
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
        Image2->setPixmap(emptyPreviewPicture(Image2->size()));
        logo->setEnabled(false);
    }
}

void Tkoperta_f::enableLogoTickForFile()
{
    logo->setEnabled(pictureFileExists() && !logo_.isNull());
}

} // namespace wirtello
