#include "keyboard_access.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QShortcut>
#include <QTextEdit>

namespace wirtello {
namespace {

// The frame drawn over a control that has the keyboard focus: flat buttons
// and labels draw none of their own in every style.
class FocusFrame : public QWidget {
public:
    explicit FocusFrame(QWidget* control) : QWidget(control)
    {
        setObjectName(QStringLiteral("focusFrame"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

    void showOver(QWidget* control)
    {
        setGeometry(control->rect());
        show();
        raise();
    }

protected:
    // Two pixels in the selection colour: plainly seen, where a dotted line
    // of one pixel was easily missed.
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QPen pen(palette().color(QPalette::Active, QPalette::Highlight));
        pen.setWidth(2);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
};

// A control whose own focus mark is too faint (a list) shows the frame
// whenever it has the keyboard focus.
class FrameWhileFocused : public QObject {
public:
    explicit FrameWhileFocused(QWidget* control) : QObject(control), control_(control), frame_(new FocusFrame(control))
    {
        control->installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn || (event->type() == QEvent::Resize && frame_->isVisible()))
            frame_->showOver(control_);
        else if (event->type() == QEvent::FocusOut)
            frame_->hide();
        return false;
    }

private:
    QWidget* control_;
    FocusFrame* frame_;
};

// Enter (and Space, for a control that is no button) presses the control,
// and the frame follows the keyboard focus.
class PressKeys : public QObject {
public:
    PressKeys(QWidget* control, std::function<void()> press, bool withSpace)
        : QObject(control), control_(control), press_(std::move(press)), withSpace_(withSpace),
          frame_(new FocusFrame(control))
    {
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->modifiers() & ~Qt::KeypadModifier)
                return false;
            if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter
                && !(withSpace_ && key->key() == Qt::Key_Space))
                return false;
            press_();
            return true;
        }
        case QEvent::FocusIn: {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            // Not for a click, nor when the window first gets the focus:
            // the window looks as ever until the keyboard is used.
            // The focus coming back after a dialog or a menu brings the frame back with it.
            const bool returning = reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
            if (returning ? framedWhenLeft_ : reason != Qt::MouseFocusReason)
                frame_->showOver(control_);
            framedWhenLeft_ = false;
            return false;
        }
        case QEvent::FocusOut: {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            framedWhenLeft_ = frame_->isVisible()
                && (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason);
            frame_->hide();
            return false;
        }
        default:
            return false;
        }
    }

private:
    QWidget* control_;
    std::function<void()> press_;
    bool withSpace_;
    FocusFrame* frame_;
    bool framedWhenLeft_ = false; // framed when a dialog or a menu took the focus away
};

QAccessibleInterface* labelButtonFactory(const QString& className, QObject* object)
{
    if (className != QLatin1StringView(ButtonLabel::staticMetaObject.className()))
        return nullptr;
    return new QAccessibleWidget(static_cast<ButtonLabel*>(object), QAccessible::Button);
}

class NamedComboBox : public QAccessibleWidget {
public:
    explicit NamedComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override
    {
        const QString chosen = static_cast<QComboBox*>(widget())->currentText();
        if (kind == QAccessible::Value)
            return chosen;
        const QString own = QAccessibleWidget::text(kind); // the accessible name, else the label's text
        return kind == QAccessible::Name && own.isEmpty() ? chosen : own;
    }
};

QAccessibleInterface* namedComboBoxFactory(const QString& className, QObject* object)
{
    if (className != QLatin1StringView("QComboBox"))
        return nullptr;
    auto* box = qobject_cast<QComboBox*>(object);
    // A list typed in is named by what is typed; Qt's own reading is kept.
    return box && !box->isEditable() ? new NamedComboBox(box) : nullptr;
}

// Keeps an edit from claiming a key that is one of its window's shortcuts.
class ShortcutPass : public QObject {
public:
    ShortcutPass(QWidget* window) : QObject(window), window_(window) {}

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::ShortcutOverride)
            return false;
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        // Keys an edit needs itself (Delete, Escape, plain letters) stay its own.
        if (!(static_cast<QKeyEvent*>(event)->modifiers() & Qt::ControlModifier))
            return false;
        for (const QShortcut* shortcut : window_->findChildren<QShortcut*>()) {
            if (shortcut->key() == pressed && shortcut->isEnabled())
                return true; // unaccepted: the shortcut runs
        }
        return false;
    }

private:
    QWidget* window_;
};

// Keeps keys, clicks and the focus away from the controls a panel covers,
// without changing how they look.
class CoveredBlocker : public QObject {
public:
    CoveredBlocker(QObject* parent, QWidget* panel) : QObject(parent), panel_(panel) {}

    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::FocusIn:
            if (QWidget* inside = panel_->focusWidget() ? panel_->focusWidget() : panel_->nextInFocusChain())
                if (panel_->isAncestorOf(inside))
                    inside->setFocus(Qt::OtherFocusReason);
            return true;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
        }
    }

private:
    QWidget* panel_;
};

// What openPanel changed, kept on the panel until closePanel puts it back.
class PanelState : public QObject {
public:
    using QObject::QObject;
    QList<QPointer<QWidget>> covered;
    QList<QPointer<QShortcut>> resting;
    QPointer<QWidget> focusBefore;
    CoveredBlocker* blocker = nullptr;
};

PanelState* panelState(QWidget* panel)
{
    for (QObject* child : panel->children())
        if (auto* state = dynamic_cast<PanelState*>(child))
            return state;
    return nullptr;
}

} // namespace

void makeKeyboardButton(QAbstractButton* button, const QKeySequence& shortcut, QWidget* inWidget)
{
    button->setFocusPolicy(Qt::StrongFocus);
    button->installEventFilter(new PressKeys(button, [button] { button->click(); }, false));
    if (shortcut.isEmpty())
        return;
    QShortcut* keys = inWidget ? new QShortcut(shortcut, inWidget) : new QShortcut(shortcut, button);
    keys->setContext(inWidget ? Qt::WidgetShortcut : Qt::WindowShortcut);
    QObject::connect(keys, &QShortcut::activated, button, [button] {
        if (button->isVisible() && button->isEnabled())
            button->click();
    });
    const QString said = button->toolTip().isEmpty() ? button->text() : button->toolTip();
    button->setToolTip(QStringLiteral("%1 (%2)").arg(said, shortcut.toString(QKeySequence::NativeText)));
}

ButtonLabel::ButtonLabel(QWidget* parent) : QLabel(parent)
{
    QAccessible::installFactory(labelButtonFactory); // once; later calls change nothing
}

void frameWhileFocused(QWidget* control)
{
    new FrameWhileFocused(control);
}

void nameComboBoxesByLabel()
{
    QAccessible::installFactory(namedComboBoxFactory);
}

void makeKeyboardLabel(ButtonLabel* label, const std::function<void()>& press)
{
    label->setAccessibleName(label->text());
    label->setFocusPolicy(Qt::StrongFocus);
    label->installEventFilter(new PressKeys(label, press, true));
}

void setTabChain(const QList<QWidget*>& widgets)
{
    for (qsizetype i = 0; i + 1 < widgets.size(); ++i)
        QWidget::setTabOrder(widgets[i], widgets[i + 1]);
}

void letShortcutsPassEdits(QWidget* window)
{
    auto* pass = new ShortcutPass(window);
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(child) || qobject_cast<QTextEdit*>(child) || qobject_cast<QPlainTextEdit*>(child)
            || qobject_cast<QAbstractSpinBox*>(child))
            child->installEventFilter(pass);
    }
}

void openPanel(QWidget* panel, QWidget* focus)
{
    if (panelState(panel))
        return; // already up
    auto* state = new PanelState(panel);
    QWidget* window = panel->window();
    state->focusBefore = window->focusWidget();
    state->blocker = new CoveredBlocker(state, panel);
    const QRect area = panel->geometry();
    const QObjectList siblings = panel->parentWidget()->children();
    for (QObject* object : siblings) {
        auto* widget = qobject_cast<QWidget*>(object);
        if (!widget || widget == panel || !area.intersects(widget->geometry()))
            continue;
        state->covered << widget;
        for (QWidget* inner : widget->findChildren<QWidget*>())
            state->covered << inner;
    }
    for (const QPointer<QWidget>& widget : state->covered)
        widget->installEventFilter(state->blocker);
    for (QShortcut* shortcut : window->findChildren<QShortcut*>()) {
        auto* owner = qobject_cast<QWidget*>(shortcut->parent());
        if (shortcut->isEnabled() && owner && !panel->isAncestorOf(owner)) {
            shortcut->setEnabled(false);
            state->resting << shortcut;
        }
    }
    panel->show();
    panel->raise();
    if (focus)
        focus->setFocus(Qt::OtherFocusReason);
}

void closePanel(QWidget* panel)
{
    panel->hide();
    PanelState* state = panelState(panel);
    if (!state)
        return;
    for (const QPointer<QWidget>& widget : state->covered)
        if (widget)
            widget->removeEventFilter(state->blocker);
    for (const QPointer<QShortcut>& shortcut : state->resting)
        if (shortcut)
            shortcut->setEnabled(true);
    if (state->focusBefore)
        state->focusBefore->setFocus(Qt::OtherFocusReason);
    delete state;
}

} // namespace wirtello
