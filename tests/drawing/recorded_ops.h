// Reading back what a procedure drew on the recording surface.
#pragma once

#include <string>
#include <vector>

#include "recording_surface.h"

namespace linomark {

inline std::vector<RecordedOp> OpsOfKind(const RecordingSurface& surface, OpKind kind) {
    std::vector<RecordedOp> found;
    for (const RecordedOp& op : surface.Ops()) {
        if (op.kind == kind) {
            found.push_back(op);
        }
    }
    return found;
}

// The width of a text in the recording surface's model: half an em a character.
inline float ModelWidth(std::size_t characters, float points) {
    return static_cast<float>(characters) * points * RecordingSurface::kUnitsPerPoint *
           RecordingSurface::kCharacterEms;
}

inline float ModelLineHeight(float points) {
    return points * RecordingSurface::kUnitsPerPoint * RecordingSurface::kLineEms;
}

}  // namespace linomark
