#include "text_editor_window.h"
#include "ui_text_editor_window.h"

#include "editor_printout.h"
#include "text_lines.h"

#include "platform/handler_guard.h"
#include "platform/keyboard_access.h"
#include "platform/platform.h"
#include "platform/session_end.h"
#include "platform/qt_print_surface.h"
#include "platform/window_look.h"
#include "print/print_font.h"
#include "store/io_error.h"
#include "store/paths.h"

#include <QPlainTextEdit>
#include <QTextDocument>
#include <QToolButton>

#include <algorithm>

namespace wirtello {
namespace {

const QString kDefaultCaption = QStringLiteral("Notatnik");
// A damaged font file may hold any size; the memo must stay usable.
constexpr int kLargestMemoPoints = 72;

QString memoText(const std::vector<std::string>& lines)
{
    return QString::fromStdString(joinEditedText(lines));
}

} // namespace

Tlogowania_f::Tlogowania_f(AppData& data, Platform& platform, CurrentPrintFont& printFont, WidgetBuilding building)
    : data_(data), platform_(platform), printFont_(printFont)
{
    setObjectName(QStringLiteral("Tlogowania_f"));
    setWindowTitle(kDefaultCaption);
    setFixedClientSize(536, 476);
    paintBackground(this, kSilver.lighter(110));
    buildWidgetsIf(building);
    // The session's end stores the open text as returning from the editor does.
    onSessionEnd(this, [this] {
        if (widgetsBuilt() && isVisible() && loadedPath_ && loadedParameters_.mode == kStoreOnReturn
            && ui_->Memo1->document()->isModified())
            storeText();
    });
}

Tlogowania_f::~Tlogowania_f() = default;

void Tlogowania_f::build()
{
    ui_ = std::make_unique<Ui::Tlogowania_f>();
    ui_->setupUi(this);

    // What the Designer file cannot say: pixel fonts, colours and glyphs.
    styleLabel(ui_->Label1, pixelFont(QStringLiteral("Arial"), 20), kGrey);
    const struct {
        QToolButton* button;
        QStyle::StandardPixmap glyph;
    } buttons[] = {
        {ui_->SpeedButton1, QStyle::SP_FileDialogDetailedView},
        {ui_->SpeedButton2, QStyle::SP_ArrowBack},
    };
    for (const auto& look : buttons)
        styleFlatButton(look.button, pixelFont(QStringLiteral("Arial"), 12), kMaroon, standardGlyph(look.glyph),
                        GlyphSide::Above, QSize(24, 24));

    onClick(ui_->SpeedButton1, platform_, [this] { printText(); });
    onClick(ui_->SpeedButton2, platform_, [this] { returnFromEditor(); });
    // The menu's entries are not clicks of the button: each gets the guard here.
    addPrintMenu(ui_->SpeedButton1, [this](PrintDestination destination) {
        runGuarded(platform_, [this, destination] { printText(destination); });
    });
    makeKeyboardButton(ui_->SpeedButton1, QKeySequence(Qt::CTRL | Qt::Key_P));
    makeKeyboardButton(ui_->SpeedButton2, QKeySequence(Qt::Key_Escape));
    letShortcutsPassEdits(this);
}

std::filesystem::path Tlogowania_f::editedPath() const
{
    return joinPath(dataFolder(), parameters_.file);
}

void Tlogowania_f::applyPrintFontToMemo()
{
    QFont font = ui_->Memo1->font();
    if (!printFont_.face().empty())
        font.setFamily(QString::fromStdString(printFont_.face()));
    if (printFont_.size() > 0)
        font.setPointSize(std::min(printFont_.size(), kLargestMemoPoints));
    const std::uint8_t style = printFont_.style();
    font.setBold(style & FontStyle::Bold);
    font.setItalic(style & FontStyle::Italic);
    font.setUnderline(style & FontStyle::Underline);
    font.setStrikeOut(style & FontStyle::StrikeOut);
    ui_->Memo1->setFont(font);
    setColour(ui_->Memo1, QPalette::Text, toQColor(printFont_.colour()));
}

void Tlogowania_f::storeText()
{
    writeTextLines(*loadedPath_, splitEditedText(ui_->Memo1->toPlainText().toStdString()));
}

bool Tlogowania_f::settleUnstoredText()
{
    const bool unstored = widgetsBuilt() && isVisible() && loadedPath_ &&
                          loadedParameters_.mode == kStoreOnReturn && ui_->Memo1->document()->isModified();
    if (!unstored)
        return true;
    switch (platform_.askYesNoCancel(QStringLiteral("Tekst w edytorze zmieniono i nie zapisano.\r"
                                                    "Zapisać zmiany przed ponownym wczytaniem pliku ?"))) {
    case Platform::Answer::Yes:
        try {
            storeText();
            return true;
        } catch (const IoError& error) {
            platform_.showError(error);
            break;
        }
    case Platform::Answer::No:
        return true;
    case Platform::Answer::Cancel:
        break;
    }
    parameters_ = loadedParameters_;
    return false;
}

void Tlogowania_f::initialise()
{
    if (!settleUnstoredText())
        return;
    setWindowTitle(parameters_.caption.empty() ? kDefaultCaption : QString::fromStdString(parameters_.caption));

    if (!resolveDataFolder(platform_, data_.programFolder, true))
        return;
    if (parameters_.file.empty())
        return;

    try {
        CzytajFonty(printFont_, kPrintFontFile);
        const std::filesystem::path path = editedPath();
        createEmptyTextFileIfMissing(path);
        const std::vector<std::string> lines = readTextLines(path);
        if (widgetsBuilt()) {
            applyPrintFontToMemo();
            ui_->Memo1->setPlainText(memoText(lines));
        }
        loadedPath_ = path;
        loadedParameters_ = parameters_;
    } catch (const IoError& error) {
        platform_.showError(error);
        initialiseFailed();
    }
}

void Tlogowania_f::returnFromEditor()
{
    // A failed store raises, so the window stays open with the typed text.
    if (parameters_.mode == kStoreOnReturn && loadedPath_)
        storeText();
    dismiss();
}

void Tlogowania_f::printText(PrintDestination destination)
{
    const PrintoutTarget target{windowTitle(), PaperSize::A4, QStringLiteral("tekst.pdf")};
    printTo(platform_, destination, target, [this](PrintSurface& surface, PrintDestination) {
        CzytajFonty(printFont_, kPrintFontFile);
        drawEditorText(surface, printFont_, windowTitle().toStdString(),
                       splitEditedText(ui_->Memo1->toPlainText().toStdString()));
    });
}

} // namespace wirtello
