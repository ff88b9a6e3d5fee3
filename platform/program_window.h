#pragma once

#include <QPointer>
#include <QWidget>

class QScrollArea;

namespace wirtello {

// When a window's widgets are made. The program creates all its windows at
// start-up, but most are never opened in a run, so it has their widgets built
// the first time each is shown; a window made on its own builds them at once.
enum class WidgetBuilding { Now, OnFirstShow };

// A window created at start-up that lives to the end of the run. Opening it
// enables it, runs its initialisation again (so it re-reads its files) and
// shows it modeless; its return button disables, hides and closes it.
class ProgramWindow : public QWidget {
    Q_OBJECT
public:
    explicit ProgramWindow(QWidget* parent = nullptr);

    // The window's creation handler; run at creation and again at each opening.
    // Before the widgets are built it does only what concerns files and shared
    // data; the opening that builds them runs it whole.
    virtual void initialise() {}

    // Builds the widgets unless they are built already. Showing the window
    // builds them; a caller that fills them before opening calls this first.
    void buildWidgets();
    bool widgetsBuilt() const { return widgetsBuilt_; }

    // Enables the window, runs initialise() and shows it, unless initialise()
    // reported a failure with initialiseFailed().
    void open();
    void dismiss();

    void setVisible(bool visible) override;

    // Keeps the window within `available` (a screen's free area, in the
    // scaled pixels the window is laid out in): a window too big for it shows
    // its content in a scroll area of a window that fits. Showing the window
    // does this for its screen; a window that fits is left as it is.
    void fitInto(const QRect& available);

protected:
    // Makes the widgets and connects their handlers; called once, by buildWidgets().
    virtual void build() {}
    // Called each time the window is about to be shown, its widgets built. A
    // window with a clock sets the time here, so a clock built a moment ago
    // never shows its placeholder.
    virtual void aboutToShow() {}
    // The end of a window's constructor: builds the widgets now when asked to.
    void buildWidgetsIf(WidgetBuilding building)
    {
        if (building == WidgetBuilding::Now)
            buildWidgets();
    }

    // Called by an initialise() that stopped at a failed step (after showing
    // the error) or ended the program: the window being opened stays hidden.
    void initialiseFailed() { initialiseFailed_ = true; }

    enum class TitleButtons { None, SystemMenuAndMinimise };

    // Fixed single border, centred on the screen.
    void setFixedClientSize(int width, int height, TitleButtons buttons = TitleButtons::None);

private:
    QPointer<QWidget> opener_; // the window active when this one opened: it gets the keyboard back
    QScrollArea* scroller_ = nullptr;
    QSize contentSize_;
    bool initialiseFailed_ = false;
    bool widgetsBuilt_ = false;
};

} // namespace wirtello
