#include "notes_window.h"

#include "ui_notes_window.h"

#include "companions/companion_kit/companion_app.h"
#include "companions/companion_kit/single_window.h"
#include "platform/session_end.h"
#include "platform/window_look.h"
#include "store/io_error.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextBlockUserData>
#include <QKeySequence>
#include <QShortcut>
#include <QTextCursor>

#include <iostream>

namespace wirtello {

namespace {

// The line end that stood before a line in the file. The editor keeps lines
// as blocks and forgets what ended them; a line split by the user gets none
// and takes the file's usual one.
class LineEnd : public QTextBlockUserData {
public:
    explicit LineEnd(QString text) : text(std::move(text)) {}
    QString text;
};

// Where the editor starts a new line: CR LF, CR, LF and the separators it
// takes for paragraph and frame marks, in the order of the text.
QStringList lineEndsOf(const QString& text)
{
    QStringList ends;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            ends << QStringLiteral("\r\n");
            ++i;
        } else if (c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator || c == 0xfdd0 || c == 0xfdd1) {
            ends << QString(QChar(c));
        }
    }
    return ends;
}

} // namespace

NotesWindow::NotesWindow(Platform& platform, std::filesystem::path programFolder, const QString& entryText,
                         std::filesystem::path file, const std::string& text, DocumentAccess access,
                         QWidget* parent)
    : ProgramWindow(parent), ui_(std::make_unique<Ui::NotesWindow>()), platform_(platform),
      programFolder_(std::move(programFolder)), file_(std::move(file)), access_(std::move(access)),
      watch_(new DocumentWatch(file_, this))
{
    ui_->setupUi(this);
    setWindowTitle(entryText);
    ui_->noteEdit->setFont(pixelFont(QStringList{QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}, 15));
    showText(QString::fromStdString(text));

    showAccess();
    ui_->undoButton->setEnabled(false);
    ui_->redoButton->setEnabled(false);

    connect(ui_->noteEdit, &QPlainTextEdit::undoAvailable, ui_->undoButton, &QWidget::setEnabled);
    connect(ui_->noteEdit, &QPlainTextEdit::redoAvailable, ui_->redoButton, &QWidget::setEnabled);
    connect(ui_->undoButton, &QPushButton::clicked, ui_->noteEdit, &QPlainTextEdit::undo);
    connect(ui_->redoButton, &QPushButton::clicked, ui_->noteEdit, &QPlainTextEdit::redo);
    connect(ui_->saveButton, &QPushButton::clicked, this, &NotesWindow::tryStore);
    connect(ui_->dateButton, &QPushButton::clicked, this, &NotesWindow::insertDateTime);
    connect(ui_->findNextButton, &QPushButton::clicked, this, &NotesWindow::findNext);
    connect(ui_->findEdit, &QLineEdit::returnPressed, this, &NotesWindow::findNext);
    connect(ui_->closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(ui_->wrapCheck, &QCheckBox::toggled, this, [this](bool wrap) {
        ui_->noteEdit->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    });
    addPrintMenu(ui_->printButton, [this](PrintDestination destination) { print(destination); });
    connect(ui_->printButton, &QToolButton::clicked, this, [this] { print(PrintDestination::Printer); });

    auto* save = new QShortcut(QKeySequence::Save, this);
    connect(save, &QShortcut::activated, this, &NotesWindow::tryStore);
    auto* date = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(date, &QShortcut::activated, this, &NotesWindow::insertDateTime);
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        ui_->findEdit->setFocus();
        ui_->findEdit->selectAll();
    });
    auto* again = new QShortcut(QKeySequence::FindNext, this);
    connect(again, &QShortcut::activated, this, &NotesWindow::findNext);
    // Escape, Ctrl+W and Alt+F4 (also without a window manager) close, storing as the close does.
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W),
                                     QKeySequence(Qt::ALT | Qt::Key_F4)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
    // Ctrl+Y redoes, as the button says, besides the desktop's own key; Tab
    // stays a character of the note, Ctrl+Tab leaves it.
    ui_->noteEdit->installEventFilter(this);
    connect(watch_, &DocumentWatch::changedOnDisk, this, [this] { reread(); });
    connect(watch_, &DocumentWatch::lockFree, this, &NotesWindow::offerTakeOver);
    watch_->setWatching(!access_.lock);
    // The session may end without closing the window: the note is stored as the close stores it.
    onSessionEnd(this, [this] {
        if (hasChanges())
            writeNote();
    });
    ui_->noteEdit->setFocus();
}

NotesWindow::~NotesWindow()
{
    // The program ending without closing the window (the session ends) still
    // keeps what was typed; there is no one left to ask.
    if (hasChanges()) {
        try {
            writeNote();
        } catch (const IoError& error) {
            std::cerr << error.operation() << ": " << error.path().string() << "\n";
        }
    }
}

bool NotesWindow::hasChanges() const
{
    return access_.lock && (convertOnStore_ || ui_->noteEdit->document()->isModified());
}

void NotesWindow::showText(const QString& text)
{
    const QStringList ends = lineEndsOf(text);
    lineEnd_ = QStringLiteral("\n");
    for (const QString& end : ends) {
        if (end.front() == u'\r' || end.front() == u'\n') {
            lineEnd_ = end; // a paragraph or frame mark is kept where it is, never made up
            break;
        }
    }
    ui_->noteEdit->setPlainText(text);
    QTextBlock block = ui_->noteEdit->document()->firstBlock().next();
    for (const QString& end : ends) {
        if (!block.isValid())
            break;
        block.setUserData(new LineEnd(end));
        block = block.next();
    }
    ui_->noteEdit->document()->setModified(false);
}

std::string NotesWindow::noteText() const
{
    // Each line as it stands: toPlainText() would turn no-break spaces into
    // blanks and every line end into LF.
    const QTextDocument* document = ui_->noteEdit->document();
    QString text;
    for (QTextBlock block = document->firstBlock(); block.isValid(); block = block.next()) {
        if (block != document->firstBlock()) {
            const auto* end = dynamic_cast<const LineEnd*>(block.userData());
            text += end != nullptr ? end->text : lineEnd_;
        }
        text += block.text();
    }
    return text.toStdString();
}

void NotesWindow::writeNote()
{
    writeCompanionText(file_, noteText());
    convertOnStore_ = false;
    ui_->noteEdit->document()->setModified(false);
    const QString time = platform_.now().time().toString(QStringLiteral("HH:mm"));
    ui_->statusLabel->setText(QStringLiteral("Zapisano o %1.").arg(time));
}

bool NotesWindow::store()
{
    if (!hasChanges())
        return true;
    try {
        writeNote();
        return true;
    } catch (const IoError& error) {
        platform_.showError(error);
        return false;
    }
}

void NotesWindow::tryStore()
{
    store();
}

void NotesWindow::insertDateTime()
{
    if (!access_.lock)
        return;
    const QDateTime now = platform_.now();
    ui_->noteEdit->insertPlainText(platform_.formatShortDate(now.date()) + QLatin1Char(' ') +
                                   now.time().toString(QStringLiteral("HH:mm")));
}

bool NotesWindow::findNext()
{
    const QString wanted = ui_->findEdit->text();
    if (wanted.isEmpty())
        return false;
    QPlainTextEdit* edit = ui_->noteEdit;
    bool found = edit->find(wanted);
    if (!found) {
        // From the top again, as notepads do.
        const QTextCursor kept = edit->textCursor();
        edit->moveCursor(QTextCursor::Start);
        found = edit->find(wanted);
        if (!found)
            edit->setTextCursor(kept);
    }
    ui_->statusLabel->setText(found ? QString() : QStringLiteral("Nie znaleziono „%1”.").arg(wanted));
    return found;
}

void NotesWindow::print(PrintDestination destination)
{
    const QString id = QString::fromStdString(file_.stem().string());
    printCompanionLines(platform_, destination, programFolder_, QStringLiteral("Notatki: %1").arg(windowTitle()),
                        QStringLiteral("notatki %1.pdf").arg(id), windowTitle().toStdString(),
                        printableLines(ui_->noteEdit->toPlainText().toStdString()));
}

void NotesWindow::setReadAsWindows1250(bool converted)
{
    convertOnStore_ = converted;
    if (converted && access_.lock)
        ui_->statusLabel->setText(QStringLiteral("Odczytano jako Windows-1250; zostanie zapisana w UTF-8."));
}

bool NotesWindow::reread()
{
    std::string text;
    std::optional<DocumentProblem> problem;
    try {
        problem = readCompanionDocument(file_, kCompanionFileLimit, [&text](std::string_view read) {
                      text = std::string(read);
                      return std::optional<DocumentProblem>();
                  }).problem;
    } catch (const IoError&) {
        return false; // the text stays as it was; the next look tries again
    }
    watch_->markSeen();
    showText(QString::fromStdString(text));
    return !problem;
}

void NotesWindow::offerTakeOver()
{
    std::optional<DocumentLock> lock = watch_->takeOverIfWanted(platform_, [this] { return reread(); });
    if (!lock)
        return;
    access_ = DocumentAccess{std::move(lock), {}};
    showAccess();
    startAnswer_.answerWhile(access_.lock.has_value());
}

void NotesWindow::showAccess()
{
    const bool writable = access_.lock.has_value();
    ui_->noteEdit->setReadOnly(!writable);
    ui_->saveButton->setEnabled(writable);
    ui_->dateButton->setEnabled(writable);
    ui_->readOnlyLabel->setText(QString::fromStdString(access_.readOnlyNote));
    ui_->readOnlyLabel->setVisible(!writable);
}

void NotesWindow::answerStartsAs(const QString& name)
{
    startAnswer_.setName(name);
    startAnswer_.answerWhile(access_.lock.has_value());
}

bool NotesWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui_->noteEdit && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Y && key->modifiers() == Qt::ControlModifier) {
            ui_->noteEdit->redo();
            return true;
        }
        const Qt::KeyboardModifiers modifiers = key->modifiers();
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && (modifiers & Qt::ControlModifier)) {
            const bool back = key->key() == Qt::Key_Backtab || (modifiers & Qt::ShiftModifier);
            focusNextPrevChild(!back);
            return true;
        }
    }
    return ProgramWindow::eventFilter(watched, event);
}

void NotesWindow::closeEvent(QCloseEvent* event)
{
    if (!hasChanges()) {
        event->accept();
        return;
    }
    try {
        writeNote();
        event->accept();
    } catch (const IoError& error) {
        const QString text =
            QStringLiteral("Nie można zapisać notatki:\n%1: %2\n\nZamknąć okno bez zapisania zmian?")
                .arg(QString::fromStdString(error.operation()), QString::fromStdString(error.path().string()));
        if (platform_.ask(text)) {
            ui_->noteEdit->document()->setModified(false); // given up by the user
            event->accept();
        } else {
            event->ignore();
        }
    }
}

} // namespace wirtello
