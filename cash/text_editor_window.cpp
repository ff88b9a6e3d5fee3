#include "text_editor_window.h"

#include "editor_printout.h"
#include "text_lines.h"

#include "platform/handler_guard.h"
#include "platform/keyboard_access.h"
#include "platform/platform.h"
#include "platform/qt_print_surface.h"
#include "platform/window_look.h"
#include "print/print_font.h"
#include "store/io_error.h"
#include "store/paths.h"

#include <QLabel>
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
}

void Tlogowania_f::build()
{
    Label1 = addLabel(this, QStringLiteral("Notatnik"), 8, 16, pixelFont(QStringLiteral("Arial"), 20), kGrey);

    const QFont buttonFont = pixelFont(QStringLiteral("Arial"), 12);
    SpeedButton1 = addFlatButton(this, QStringLiteral("Drukuj"), QRect(398, 6, 64, 50), buttonFont, kMaroon,
                                 standardGlyph(QStyle::SP_FileDialogDetailedView), GlyphSide::Above,
                                 QSize(24, 24));
    SpeedButton2 = addFlatButton(this, QStringLiteral("Powrót"), QRect(464, 6, 64, 50), buttonFont, kMaroon,
                                 standardGlyph(QStyle::SP_ArrowBack), GlyphSide::Above, QSize(24, 24));
    onClick(SpeedButton1, platform_, [this] { printText(); });
    addPrintMenu(SpeedButton1, [this](PrintDestination destination) { printText(destination); });
    onClick(SpeedButton2, platform_, [this] { returnFromEditor(); });
    makeKeyboardButton(SpeedButton1, QKeySequence(Qt::CTRL | Qt::Key_P));
    makeKeyboardButton(SpeedButton2, QKeySequence(Qt::Key_Escape));

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 63, 521, 405);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setTabChangesFocus(false);
    Label1->setBuddy(Memo1);
    letShortcutsPassEdits(this);
}

std::filesystem::path Tlogowania_f::editedPath() const
{
    return joinPath(dataFolder(), parameters_.file);
}

void Tlogowania_f::applyPrintFontToMemo()
{
    QFont font = Memo1->font();
    if (!printFont_.face().empty())
        font.setFamily(QString::fromStdString(printFont_.face()));
    if (printFont_.size() > 0)
        font.setPointSize(std::min(printFont_.size(), kLargestMemoPoints));
    const std::uint8_t style = printFont_.style();
    font.setBold(style & FontStyle::Bold);
    font.setItalic(style & FontStyle::Italic);
    font.setUnderline(style & FontStyle::Underline);
    font.setStrikeOut(style & FontStyle::StrikeOut);
    Memo1->setFont(font);
    setColour(Memo1, QPalette::Text, toQColor(printFont_.colour()));
}

void Tlogowania_f::storeText()
{
    writeTextLines(*loadedPath_, splitEditedText(Memo1->toPlainText().toStdString()));
}

bool Tlogowania_f::settleUnstoredText()
{
    const bool unstored = widgetsBuilt() && isVisible() && loadedPath_ &&
                          loadedParameters_.mode == kStoreOnReturn && Memo1->document()->isModified();
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
            Memo1->setPlainText(memoText(lines));
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
    if (parameters_.mode == kStoreOnReturn && loadedPath_) {
        try {
            storeText();
        } catch (const IoError& error) {
            platform_.showError(error);
            return;
        }
    }
    dismiss();
}

void Tlogowania_f::printText(PrintDestination destination)
{
    const PrintoutTarget target{windowTitle(), PaperSize::A4, QStringLiteral("tekst.pdf")};
    try {
        printTo(platform_, destination, target, [this](PrintSurface& surface, PrintDestination) {
            CzytajFonty(printFont_, kPrintFontFile);
            drawEditorText(surface, printFont_, windowTitle().toStdString(),
                           splitEditedText(Memo1->toPlainText().toStdString()));
        });
    } catch (const IoError& error) {
        platform_.showError(error);
    }
}

} // namespace wirtello
