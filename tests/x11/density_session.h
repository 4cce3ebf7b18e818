#pragma once

#include "x11/x_session.h"

namespace marrowick::test {

// The desktop the density tests' Qt runs on; none where no X server can start.
inline XSession* densitySession = nullptr;

}  // namespace marrowick::test
