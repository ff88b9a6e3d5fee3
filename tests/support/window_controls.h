#pragma once

// A window's controls reached by their component names, as the windows'
// Designer files name them, instead of through members of the window.

#include <QString>
#include <QWidget>

#include <stdexcept>
#include <string>

namespace wirtello::test {

// The control called `name` (a component name such as "SpeedButton9") among
// the window's children. A missing or differently typed control throws, which
// fails the test that asked for it with the name in the message.
template <typename Widget = QWidget>
Widget* control(const QWidget& window, const char* name)
{
    auto* found = window.findChild<Widget*>(QString::fromLatin1(name));
    if (found == nullptr)
        throw std::runtime_error(std::string("no control \"") + name + "\" of the expected type in "
                                 + window.objectName().toStdString());
    return found;
}

template <typename Widget = QWidget>
Widget* control(const QWidget* window, const char* name)
{
    return control<Widget>(*window, name);
}

} // namespace wirtello::test
