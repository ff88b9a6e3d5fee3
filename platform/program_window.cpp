#include "program_window.h"

#include <QApplication>
#include <QChildEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QWindow>

#include <algorithm>

namespace wirtello {

namespace {

// A dialog of the window gives the keyboard back to it when it closes, also
// where no window manager does (the focus would otherwise go to no window and
// the window's shortcuts would rest).
class KeyboardReturn : public QObject {
public:
    explicit KeyboardReturn(ProgramWindow* window) : QObject(window), window_(window)
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::ChildAdded) {
            QObject* child = static_cast<QChildEvent*>(event)->child();
            if (child->isWidgetType())
                child->installEventFilter(this);
        } else if (watched != window_ && event->type() == QEvent::Hide && static_cast<QWidget*>(watched)->isWindow()
                   && window_->isVisible()) {
            window_->activateWindow();
        }
        return false;
    }

private:
    ProgramWindow* window_;
};

} // namespace

ProgramWindow::ProgramWindow(QWidget* parent) : QWidget(parent)
{
    new KeyboardReturn(this);
}

void ProgramWindow::buildWidgets()
{
    if (widgetsBuilt_)
        return;
    widgetsBuilt_ = true;
    build();
}

void ProgramWindow::setVisible(bool visible)
{
    const bool showing = visible && !isVisible();
    if (showing) {
        // However it is shown, the window that had the keyboard gets it back
        // when this one is dismissed.
        if (isWindow() && QApplication::activeWindow() != this)
            opener_ = QApplication::activeWindow();
        buildWidgets();
        aboutToShow();
        if (const QScreen* shownOn = screen())
            fitInto(shownOn->availableGeometry());
    }
    QWidget::setVisible(visible);
    // A window shown takes the keyboard, also where no window manager gives
    // the focus to new windows.
    if (showing && isWindow()) {
        raise();
        activateWindow();
    }
}

namespace {

// Title bar and border assumed for a window not yet framed by the window manager.
constexpr QMargins kAssumedFrame{4, 32, 4, 4};

} // namespace

void ProgramWindow::fitInto(const QRect& available)
{
    if (!contentSize_.isValid())
        contentSize_ = size();
    QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    if (frame.isNull())
        frame = kAssumedFrame;
    const QRect room = available.marginsRemoved(frame);
    QSize fitting = contentSize_.boundedTo(room.size());
    // A scroll bar in one direction takes room the other one had.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    if (fitting.height() < contentSize_.height())
        fitting.setWidth(std::min(contentSize_.width() + bar, room.width()));
    if (fitting.width() < contentSize_.width())
        fitting.setHeight(std::min(contentSize_.height() + bar, room.height()));
    if (fitting == contentSize_ && !scroller_)
        return;
    if (!scroller_) {
        // The widgets keep their fixed places on a content widget that scrolls.
        auto* content = new QWidget;
        content->setFixedSize(contentSize_);
        const QList<QWidget*> children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* child : children) {
            if (child->isWindow())
                continue;
            const bool hidden = child->isHidden();
            const QRect place = child->geometry();
            child->setParent(content);
            child->setGeometry(place);
            child->setVisible(!hidden);
        }
        scroller_ = new QScrollArea(this);
        scroller_->setFrameShape(QFrame::NoFrame);
        scroller_->setFocusPolicy(Qt::NoFocus);
        scroller_->viewport()->setAutoFillBackground(false);
        scroller_->setWidget(content);
        scroller_->show();
    }
    setFixedSize(fitting);
    scroller_->setGeometry(rect());
    const QSize framed = fitting.grownBy(frame);
    const QPoint centred = available.center() - QPoint(framed.width() / 2, framed.height() / 2);
    move(std::max(centred.x(), available.left()), std::max(centred.y(), available.top()));
}

void ProgramWindow::open()
{
    buildWidgets();
    setEnabled(true);
    initialiseFailed_ = false;
    initialise();
    if (initialiseFailed_)
        return;
    if (QApplication::activeWindow() != this)
        opener_ = QApplication::activeWindow();
    show();
    raise();
    activateWindow();
}

void ProgramWindow::dismiss()
{
    setEnabled(false);
    hide();
    close();
    // The window lives on for its next opening, but its system window goes:
    // a screen reader lists every window that has one, hidden or not, and
    // would read this one's controls out at size 0.
    destroy();
    if (opener_ && opener_->isVisible())
        opener_->activateWindow();
}

void ProgramWindow::setFixedClientSize(int width, int height, TitleButtons buttons)
{
    setFixedSize(width, height);
    Qt::WindowFlags flags = Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (buttons == TitleButtons::SystemMenuAndMinimise)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint;
    setWindowFlags(flags);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - QPoint(width / 2, height / 2));
    }
}

} // namespace wirtello
