#include "comments_window.h"

#include "ui_comments_window.h"

#include "companions/companion_kit/companion_app.h"
#include "store/io_error.h"

#include <QCloseEvent>
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
                               std::filesystem::path file, std::vector<Comment> comments, DocumentAccess access,
                               QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::CommentsWindow>()), platform_(platform),
      programFolder_(std::move(programFolder)), file_(std::move(file)), comments_(std::move(comments)),
      access_(std::move(access))
{
    ui_->setupUi(this);
    setWindowTitle(titleLine.trimmed());
    ui_->titleLabel->setText(titleLine.trimmed());
    ui_->readOnlyLabel->setText(fromUtf8(access_.readOnlyNote));
    ui_->readOnlyLabel->setVisible(!access_.lock);
    ui_->entryEdit->setReadOnly(!access_.lock);
    ui_->commentList->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    ui_->commentList->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    ui_->commentList->header()->setStretchLastSection(true);
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
    ui_->commentList->clear();
    int shown = 0;
    for (std::size_t i = 0; i < comments_.size(); ++i) {
        const Comment& comment = comments_[i];
        const QStringList columns{shownDate(comment), fromUtf8(comment.author), fromUtf8(comment.text)};
        if (!wanted.isEmpty() && !columns.join(QLatin1Char('\n')).contains(wanted, Qt::CaseInsensitive))
            continue;
        auto* item = new QTreeWidgetItem(ui_->commentList, columns);
        item->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<qulonglong>(i)));
        item->setToolTip(2, columns[2]);
        ++shown;
        if (select == i)
            ui_->commentList->setCurrentItem(item);
    }
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
        writeCompanionText(file_, formatComments(changed));
    } catch (const IoError& error) {
        platform_.showError(error);
        return false;
    }
    comments_ = std::move(changed);
    return true;
}

void CommentsWindow::addOrChange()
{
    const std::string text = enteredText(ui_->entryEdit->toPlainText());
    if (!access_.lock || text.empty())
        return;
    std::vector<Comment> changed = comments_;
    std::size_t at = 0;
    if (changing_) {
        at = *changing_;
        changed[at].text = text;
    } else {
        const QString now = platform_.now().toString(QLatin1String(kStoredDate));
        changed.insert(changed.begin(), Comment{now.toStdString(), loginName(), text});
    }
    if (!store(std::move(changed)))
        return; // what was typed stays in the field
    ui_->entryEdit->clear();
    endChange();
    refill(at);
}

void CommentsWindow::startChange()
{
    const std::optional<std::size_t> index = selectedIndex();
    if (!access_.lock || !index)
        return;
    changing_ = index;
    const Comment& comment = comments_[*index];
    ui_->entryLabel->setText(
        QStringLiteral("Zmiana komentarza z %1 (%2):").arg(shownDate(comment), fromUtf8(comment.author)));
    ui_->entryEdit->setPlainText(fromUtf8(comment.text));
    ui_->addButton->setText(QStringLiteral("Zapisz zmianę"));
    ui_->cancelEditButton->setVisible(true);
    ui_->entryEdit->setFocus();
    updateButtons();
}

void CommentsWindow::endChange()
{
    if (changing_)
        ui_->entryEdit->clear();
    changing_.reset();
    ui_->entryLabel->setText(QStringLiteral("Nowy komentarz:"));
    ui_->addButton->setText(QStringLiteral("Dodaj"));
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
    if (access_.lock && !enteredText(ui_->entryEdit->toPlainText()).empty()) {
        const Platform::Answer answer = platform_.askYesNoCancel(
            changing_ ? QStringLiteral("Zapisać zmianę komentarza przed zamknięciem?")
                      : QStringLiteral("Dodać wpisany komentarz przed zamknięciem?"));
        if (answer == Platform::Answer::Cancel) {
            event->ignore();
            return;
        }
        if (answer == Platform::Answer::Yes) {
            addOrChange();
            if (!enteredText(ui_->entryEdit->toPlainText()).empty()) {
                event->ignore(); // the store failed; the text stays
                return;
            }
        }
    }
    event->accept();
}

} // namespace wirtello
