#pragma once

#include <QWidget>

namespace wirtello {

// A window created at start-up that lives to the end of the run. Opening it
// enables it, runs its initialisation again (so it re-reads its files) and
// shows it modeless; its return button disables, hides and closes it.
class ProgramWindow : public QWidget {
    Q_OBJECT
public:
    explicit ProgramWindow(QWidget* parent = nullptr) : QWidget(parent) {}

    // The window's creation handler; run at creation and again at each opening.
    virtual void initialise() {}

    // Enables the window, runs initialise() and shows it, unless initialise()
    // reported a failure with initialiseFailed().
    void open();
    void dismiss();

protected:
    // Called by an initialise() that stopped at a failed step (after showing
    // the error) or ended the program: the window being opened stays hidden.
    void initialiseFailed() { initialiseFailed_ = true; }

    enum class TitleButtons { None, SystemMenuAndMinimise };

    // Fixed single border, centred on the screen.
    void setFixedClientSize(int width, int height, TitleButtons buttons = TitleButtons::None);

private:
    bool initialiseFailed_ = false;
};

} // namespace wirtello
