#pragma once

#include <QObject>
#include <QString>

#include <stdexcept>

namespace wirtello {

// Parts of the program that need large libraries for a rarely used feature
// (reading vCards, the network) are built as modules of their own and loaded
// the first time they are needed, so that they cost nothing at start-up.
// Modules live in "modules" beside the program; tests add the build's module
// folder to Qt's library paths, which are searched next.

// A module that cannot be found or loaded; the message is the user's.
class ModuleMissing : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The module's root object, loaded once and kept to the end of the run.
// Throws ModuleMissing.
QObject& loadProgramModule(const QString& name);

// The interface `Interface` (declared with Q_DECLARE_INTERFACE) of a module.
template <typename Interface>
Interface& programModule(const QString& name)
{
    auto* module = qobject_cast<Interface*>(&loadProgramModule(name));
    if (!module)
        throw ModuleMissing(QStringLiteral("Moduł programu „%1” nie pasuje do tej wersji programu. "
                                           "Zainstaluj program ponownie.")
                                .arg(name)
                                .toStdString());
    return *module;
}

} // namespace wirtello
