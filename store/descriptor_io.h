#pragma once

// What the store's file code works with below the standard library: the
// descriptor calls of the system and the texts of their failures.

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace wirtello {


} // namespace wirtello
