#include "reminder_window.h"

#include "ui_reminder_window.h"

#include "platform/handler_guard.h"

#include <QShortcut>

namespace wirtello {
namespace {

constexpr int kTagRole = Qt::UserRole;
constexpr int kBodyRole = Qt::UserRole + 1;

} // namespace

ReminderWindow::ReminderWindow(Platform& platform, Answer answer, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), ui_(std::make_unique<Ui::ReminderWindow>()),
      platform_(platform), answer_(std::move(answer))
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("przypomnienia"));
    setFixedSize(size());
    const std::pair<QPushButton*, const char*> choices[] = {
        {ui_->odloz5, "odloz-5"}, {ui_->odloz15, "odloz-15"}, {ui_->odloz60, "odloz-60"},
        {ui_->otworz, "otworz"},  {ui_->zamknij, "zamknij"},
    };
    for (const auto& [button, action] : choices)
        onClick(button, platform_, [this, action = QString::fromLatin1(action)] { choose(action); });
    connect(ui_->lista, &QListWidget::currentRowChanged, this, [this] { showChosen(); });
    connect(ui_->lista, &QListWidget::itemActivated, this,
            [this] { runGuarded(platform_, [this] { choose(QStringLiteral("otworz")); }); });
    // Escape puts the window away; the reminders in it were shown.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::hide);
}

ReminderWindow::~ReminderWindow() = default;

void ReminderWindow::add(const QString& tag, const QString& summary, const QString& body)
{
    auto* item = new QListWidgetItem(summary, ui_->lista);
    item->setData(kTagRole, tag);
    item->setData(kBodyRole, body);
    ui_->lista->setCurrentItem(item);
    show();
    raise();
    activateWindow();
    ui_->lista->setFocus();
}

int ReminderWindow::count() const
{
    return ui_->lista->count();
}

void ReminderWindow::choose(const QString& action)
{
    QListWidgetItem* item = ui_->lista->currentItem();
    if (!item)
        return;
    const QString tag = item->data(kTagRole).toString();
    delete item;
    if (ui_->lista->count() == 0)
        hide();
    answer_(tag, action);
}

void ReminderWindow::showChosen()
{
    const QListWidgetItem* item = ui_->lista->currentItem();
    ui_->opis->setText(item ? item->data(kBodyRole).toString() : QString());
    for (QPushButton* button : {ui_->odloz5, ui_->odloz15, ui_->odloz60, ui_->otworz, ui_->zamknij})
        button->setEnabled(item != nullptr);
}

} // namespace wirtello
