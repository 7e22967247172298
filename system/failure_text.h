// The one way a reason written as Qt text becomes a failure, for every layer
// above the plain C++ core.
#pragma once

#include <QString>

#include "symbology/outcome.h"

namespace linomark {

inline Failure FailWith(const QString& reason) { return Fail(reason.toStdString()); }

}  // namespace linomark
