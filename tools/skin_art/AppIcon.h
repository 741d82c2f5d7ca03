// The application icon: the emblem at every size a desktop's icon theme asks for.
#pragma once

#include <QDir>

namespace art {

inline constexpr int kAppIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// Writes appicon/kestrune-<size>.png into the folder; false on failure.
bool SaveAppIcons(const QDir& dir);

} // namespace art
