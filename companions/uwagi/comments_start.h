#pragma once

#include "companions/companion_kit/companion_app.h"

#include <QWidget>

#include <memory>

namespace wirtello {

// uwagi <id>.kom "<title line>": the comments window of one contact, kept in
// "uwagi/<id>.kom". Bad arguments raise std::invalid_argument; an unreadable
// file raises IoError.
std::unique_ptr<QWidget> openComments(const CompanionStart& start, Platform& platform);

} // namespace wirtello
