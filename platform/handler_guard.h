#pragma once

#include "platform.h"
#include "store/io_error.h"

#include <QAbstractButton>
#include <QObject>

#include <exception>
#include <new>

namespace wirtello {

// The Polish text of the error box for a failure that is not a file step.
QString failureText(const std::exception& error);

// Runs an event handler so that no exception ends the program: a failed file
// step shows the standard error box, anything else derived from
// std::exception a plain error box, and the program goes on.
template <typename Handler>
void runGuarded(Platform& platform, Handler&& handler)
{
    try {
        handler();
    } catch (const IoError& error) {
        platform.showError(error);
    } catch (const std::exception& error) {
        platform.showFailure(failureText(error));
    }
}

// Connects a button's click to a handler run through the guard.
template <typename Handler>
void onClick(QAbstractButton* button, Platform& platform, Handler handler)
{
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [&platform, handler = std::move(handler)] { runGuarded(platform, handler); });
}

} // namespace wirtello
