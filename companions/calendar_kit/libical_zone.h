#pragma once

// The calendar kit's own access to libical's zone of the local time zone.

#include <string>

struct _icaltimezone;

namespace wirtello {

bool isUtcZoneName(const std::string& name);

// The local zone as libical knows it (built-in zone info, or UTC).
_icaltimezone* localZone();

// The zone of a TZID libical knows by itself ("UTC" included); nullptr for
// another name.
_icaltimezone* zoneNamed(const std::string& name);

} // namespace wirtello
