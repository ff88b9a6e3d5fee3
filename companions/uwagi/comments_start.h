#pragma once

#include "companions/companion_kit/companion_app.h"

#include <QWidget>

#include <memory>

namespace wirtello {

// uwagi <id>.kom "<title line>": the comments window of one contact, kept in
// "uwagi/<id>.kom". Nothing when a window of the same contact already runs on
// this machine (it comes to the front instead). Bad arguments raise
// std::invalid_argument; a folder that cannot be made raises IoError. A file
// with a bad line or a failed read opens as openCompanionDocument says.
std::unique_ptr<QWidget> openComments(const CompanionStart& start, Platform& platform);

} // namespace wirtello
