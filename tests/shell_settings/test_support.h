// Shared by the settings and link tests: readable QString output in failure
// messages, and the reason of a step that failed.
#pragma once

#include <QString>
#include <ostream>

#include "symbology/outcome.h"

void PrintTo(const QString& text, std::ostream* os);

// Why a step failed, or an empty text when it succeeded, so that a
// comparison shows the reason.
inline QString Said(const linomark::Outcome<linomark::Done>& outcome) {
    return outcome ? QString() : QString::fromStdString(outcome.Reason());
}
