#pragma once

#include "companions/companion_kit/companion_app.h"

#include <QWidget>

#include <memory>

namespace wirtello {

// brulion "<entry text>" <id>: the notes window of contact <id>, kept in
// "brulion/<id>.txt". Nothing when a window of the same contact already runs
// on this machine (it comes to the front instead). Bad arguments raise
// std::invalid_argument; a folder that cannot be made raises IoError. A note
// that is not UTF-8 or cannot be read opens as openCompanionDocument says,
// offered to be read as Windows-1250.
std::unique_ptr<QWidget> openNotes(const CompanionStart& start, Platform& platform);

} // namespace wirtello
