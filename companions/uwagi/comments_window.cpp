#include "comments_window.h"

#include "ui_comments_window.h"

#include "companions/companion_kit/companion_app.h"
#include "companions/companion_kit/single_window.h"
#include "platform/keyboard_access.h"
#include "platform/session_end.h"
#include "store/io_error.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QHeaderView>
#include <QKeySequence>
#include <QShortcut>

namespace wirtello {

namespace {

const char* const kStoredDate = "yyyy-MM-dd HH:mm:ss";

QString fromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

// The entry field's text without the blank lines and blanks the user left at its end.
std::string enteredText(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.left(end).toStdString();
}

} // namespace

CommentsWindow::CommentsWindow(Platform& platform, std::filesystem::path programFolder, const QString& titleLine,
                               std::filesystem::path file, CommentFile comments, DocumentAccess access,
                               QWidget* parent)
    : ProgramWindow(parent), ui_(std::make_unique<Ui::CommentsWindow>()), platform_(platform),
      programFolder_(std::move(programFolder)), file_(std::move(file)), comments_(std::move(comments.comments)),
      crlf_(comments.crlf), access_(std::move(access)), watch_(new DocumentWatch(file_, this))
{
    ui_->setupUi(this);
    setWindowTitle(titleLine.trimmed());
    ui_->titleLabel->setText(titleLine.trimmed());
    showAccess();
    ui_->commentList->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    ui_->commentList->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    ui_->commentList->header()->setStretchLastSection(true);
    frameWhileFocused(ui_->commentList); // a list's own focus mark is too faint
    sortNewestFirst(comments_);

    connect(ui_->addButton, &QPushButton::clicked, this, &CommentsWindow::addOrChange);
    connect(ui_->editButton, &QPushButton::clicked, this, &CommentsWindow::startChange);
    connect(ui_->cancelEditButton, &QPushButton::clicked, this, &CommentsWindow::endChange);
    connect(ui_->deleteButton, &QPushButton::clicked, this, &CommentsWindow::deleteSelected);
    connect(ui_->closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(ui_->searchEdit, &QLineEdit::textChanged, this, [this] { refill(); });
    connect(ui_->commentList, &QTreeWidget::itemSelectionChanged, this, &CommentsWindow::updateButtons);
    connect(ui_->commentList, &QTreeWidget::itemDoubleClicked, this, &CommentsWindow::startChange);
    connect(ui_->entryEdit, &QPlainTextEdit::textChanged, this, &CommentsWindow::updateButtons);
    // Enter on a comment starts its change, as a double click does; Ctrl+Tab puts a tab into the entry.
    ui_->commentList->installEventFilter(this);
    ui_->entryEdit->installEventFilter(this);
    connect(watch_, &DocumentWatch::changedOnDisk, this, [this] { reread(); });
    connect(watch_, &DocumentWatch::lockFree, this, &CommentsWindow::offerTakeOver);
    watch_->setWatching(!access_.lock);
    addPrintMenu(ui_->printButton, [this](PrintDestination destination) { print(destination); });
    connect(ui_->printButton, &QToolButton::clicked, this, [this] { print(PrintDestination::Printer); });

    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        ui_->searchEdit->setFocus();
        ui_->searchEdit->selectAll();
    });
    auto* add = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), ui_->entryEdit, nullptr, nullptr,
                              Qt::WidgetShortcut);
    connect(add, &QShortcut::activated, this, &CommentsWindow::addOrChange);
    auto* remove = new QShortcut(QKeySequence::Delete, ui_->commentList, nullptr, nullptr, Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, &CommentsWindow::deleteSelected);

    // Escape, Ctrl+W and Alt+F4 (also without a window manager) close, asking as the close does.
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W),
                                     QKeySequence(Qt::ALT | Qt::Key_F4)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [this] { close(); });
    onSessionEnd(this, [this] { storeTypingAtSessionEnd(); });

    refill();
    ui_->entryEdit->setFocus();
}

CommentsWindow::~CommentsWindow() = default;

QString CommentsWindow::shownDate(const Comment& comment)
{
    const QDateTime written = QDateTime::fromString(fromUtf8(comment.written), QLatin1String(kStoredDate));
    if (!written.isValid())
        return fromUtf8(comment.written);
    return platform_.formatShortDate(written.date()) + QLatin1Char(' ') +
           written.time().toString(QStringLiteral("HH:mm"));
}

void CommentsWindow::refill(std::optional<std::size_t> select)
{
    const QString wanted = ui_->searchEdit->text().trimmed();
    const std::string query = wanted.toStdString();
    ui_->commentList->clear();
    int shown = 0;
    for (std::size_t i = 0; i < comments_.size(); ++i) {
        const Comment& comment = comments_[i];
        const QStringList columns{shownDate(comment), fromUtf8(comment.author), fromUtf8(comment.text)};
        if (!commentMatches(comment, columns[0].toStdString(), query))
            continue;
        auto* item = new QTreeWidgetItem(ui_->commentList, columns);
        item->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<qulonglong>(i)));
        item->setToolTip(2, columns[2]);
        ++shown;
        if (select == i)
            ui_->commentList->setCurrentItem(item);
    }
    // Rows differ in height (comments of several lines); after a refill the
    // view repainted only part of the list and left rows drawn where they had
    // been until clicked.
    ui_->commentList->viewport()->update();
    const auto total = static_cast<int>(comments_.size());
    ui_->countLabel->setText(wanted.isEmpty() ? QStringLiteral("Komentarze: %1").arg(total)
                                              : QStringLiteral("Znaleziono: %1 z %2").arg(shown).arg(total));
    updateButtons();
}

std::optional<std::size_t> CommentsWindow::selectedIndex() const
{
    const QTreeWidgetItem* item = ui_->commentList->currentItem();
    if (item == nullptr || !item->isSelected())
        return std::nullopt;
    return static_cast<std::size_t>(item->data(0, Qt::UserRole).toULongLong());
}

void CommentsWindow::updateButtons()
{
    const bool writable = access_.lock.has_value();
    const bool selected = selectedIndex().has_value();
    ui_->addButton->setEnabled(writable && !enteredText(ui_->entryEdit->toPlainText()).empty());
    ui_->editButton->setEnabled(writable && selected && !changing_);
    ui_->deleteButton->setEnabled(writable && selected && !changing_);
}

bool CommentsWindow::store(std::vector<Comment> changed)
{
    try {
        writeCompanionText(file_, formatComments(changed, crlf_));
    } catch (const IoError& error) {
        platform_.showError(error); // a text too large for the file says so here
        return false;
    }
    comments_ = std::move(changed);
    return true;
}

bool CommentsWindow::reread()
{
    CommentFile read;
    std::optional<DocumentProblem> problem;
    try {
        problem = readCompanionDocument(file_, kCompanionFileLimit, [&read](std::string_view text) {
                      return readComments(text, read);
                  }).problem;
    } catch (const IoError&) {
        return false; // the list stays as it was; the next look tries again
    }
    watch_->markSeen();
    comments_ = std::move(read.comments);
    crlf_ = read.crlf;
    sortNewestFirst(comments_);
    refill();
    return !problem;
}

void CommentsWindow::offerTakeOver()
{
    std::optional<DocumentLock> lock = watch_->takeOverIfWanted(platform_, [this] { return reread(); });
    if (!lock)
        return;
    access_ = DocumentAccess{std::move(lock), {}};
    showAccess();
    updateButtons();
    startAnswer_.answerWhile(access_.lock.has_value());
}

void CommentsWindow::showAccess()
{
    ui_->readOnlyLabel->setText(fromUtf8(access_.readOnlyNote));
    ui_->readOnlyLabel->setVisible(!access_.lock);
    ui_->entryEdit->setReadOnly(!access_.lock);
}

void CommentsWindow::answerStartsAs(const QString& name)
{
    startAnswer_.setName(name);
    startAnswer_.answerWhile(access_.lock.has_value());
}

bool CommentsWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui_->commentList && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && plain) {
            startChange();
            return true;
        }
    }
    if (watched == ui_->entryEdit && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier) {
            if (!ui_->entryEdit->isReadOnly())
                ui_->entryEdit->insertPlainText(QStringLiteral("\t"));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CommentsWindow::addOrChange()
{
    const std::string text = enteredText(ui_->entryEdit->toPlainText());
    if (!access_.lock || text.empty())
        return;
    std::size_t at = 0;
    if (!store(withTyping(text, at)))
        return; // what was typed stays in the field
    ui_->entryEdit->clear();
    endChange();
    refill(at);
}

std::vector<Comment> CommentsWindow::withTyping(const std::string& text, std::size_t& at) const
{
    std::vector<Comment> changed = comments_;
    at = 0;
    if (changing_) {
        at = *changing_;
        changed[at].text = text;
    } else {
        const QString now = platform_.now().toString(QLatin1String(kStoredDate));
        changed.insert(changed.begin(), Comment{now.toStdString(), loginName(), text});
    }
    return changed;
}

void CommentsWindow::storeTypingAtSessionEnd()
{
    if (!access_.lock || !hasTyping())
        return;
    std::size_t at = 0;
    std::vector<Comment> changed = withTyping(enteredText(ui_->entryEdit->toPlainText()), at);
    writeCompanionText(file_, formatComments(changed, crlf_)); // a failure is the caller's to log
    comments_ = std::move(changed);
    ui_->entryEdit->clear();
    endChange();
    refill(at);
}

bool CommentsWindow::hasTyping() const
{
    const std::string text = enteredText(ui_->entryEdit->toPlainText());
    if (changing_)
        return text != enteredText(fromUtf8(comments_[*changing_].text));
    return !text.empty();
}

void CommentsWindow::startChange()
{
    std::optional<std::size_t> index = selectedIndex();
    if (!access_.lock || !index || index == changing_)
        return;
    if (hasTyping()) {
        // What was typed is not replaced unasked.
        const bool adding = !changing_;
        const Platform::Answer answer = platform_.askYesNoCancel(
            adding ? QStringLiteral("Dodać wpisany komentarz przed zmianą innego?")
                   : QStringLiteral("Zapisać zmianę komentarza przed zmianą innego?"));
        if (answer == Platform::Answer::Cancel)
            return;
        if (answer == Platform::Answer::Yes) {
            addOrChange();
            if (hasTyping())
                return; // the store failed; the text stays
            if (adding)
                ++*index; // the new comment went on top
            refill(index);
        }
    }
    changing_ = index;
    const Comment& comment = comments_[*index];
    ui_->entryLabel->setText(
        QStringLiteral("&Zmiana komentarza z %1 (%2):").arg(shownDate(comment), fromUtf8(comment.author)));
    ui_->entryEdit->setPlainText(fromUtf8(comment.text));
    ui_->addButton->setText(QStringLiteral("Za&pisz zmianę"));
    ui_->cancelEditButton->setVisible(true);
    ui_->entryEdit->setFocus();
    updateButtons();
}

void CommentsWindow::endChange()
{
    if (changing_)
        ui_->entryEdit->clear();
    changing_.reset();
    ui_->entryLabel->setText(QStringLiteral("&Nowy komentarz:"));
    ui_->addButton->setText(QStringLiteral("&Dodaj"));
    ui_->cancelEditButton->setVisible(false);
    updateButtons();
}

void CommentsWindow::deleteSelected()
{
    const std::optional<std::size_t> index = selectedIndex();
    if (!access_.lock || !index || changing_)
        return;
    const Comment& comment = comments_[*index];
    QString firstLine = fromUtf8(comment.text).section(QLatin1Char('\n'), 0, 0);
    if (firstLine.size() > 80)
        firstLine = firstLine.left(80) + QStringLiteral("…");
    if (!platform_.ask(QStringLiteral("Usunąć komentarz z %1 (%2)?\n\n„%3”")
                           .arg(shownDate(comment), fromUtf8(comment.author), firstLine)))
        return;
    std::vector<Comment> changed = comments_;
    changed.erase(changed.begin() + static_cast<std::ptrdiff_t>(*index));
    if (store(std::move(changed)))
        refill();
}

void CommentsWindow::print(PrintDestination destination)
{
    std::vector<std::string> lines;
    for (int i = 0; i < ui_->commentList->topLevelItemCount(); ++i) {
        const QVariant position = ui_->commentList->topLevelItem(i)->data(0, Qt::UserRole);
        const auto index = static_cast<std::size_t>(position.toULongLong());
        const Comment& comment = comments_[index];
        if (i > 0)
            lines.emplace_back();
        lines.push_back((shownDate(comment) + QStringLiteral("   ") + fromUtf8(comment.author)).toStdString());
        for (const std::string& line : printableLines(comment.text, 86))
            lines.push_back("    " + line);
    }
    const QString id = QString::fromStdString(file_.stem().string());
    printCompanionLines(platform_, destination, programFolder_, windowTitle(),
                        QStringLiteral("komentarze %1.pdf").arg(id), windowTitle().toStdString(), lines);
}

void CommentsWindow::closeEvent(QCloseEvent* event)
{
    // A comment typed but not added is not lost without a word.
    if (access_.lock && hasTyping()) {
        const Platform::Answer answer = platform_.askYesNoCancel(
            changing_ ? QStringLiteral("Zapisać zmianę komentarza przed zamknięciem?")
                      : QStringLiteral("Dodać wpisany komentarz przed zamknięciem?"));
        if (answer == Platform::Answer::Cancel) {
            event->ignore();
            return;
        }
        if (answer == Platform::Answer::Yes) {
            addOrChange();
            if (hasTyping()) {
                event->ignore(); // the store failed; the text stays
                return;
            }
        }
    }
    event->accept();
}

} // namespace wirtello
