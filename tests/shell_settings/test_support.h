// Shared by the settings and link tests: readable QString output in failure
// messages.
#pragma once

#include <QString>
#include <ostream>

void PrintTo(const QString& text, std::ostream* os);
