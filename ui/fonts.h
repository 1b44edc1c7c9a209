// The fonts of the conflict dialogs: Arial Black for buttons and labels,
// Arial for the path fields, or the closest faces the system has.
#pragma once

#include <QFont>

namespace velmora {

// Arial Black where installed, else the boldest weight of the closest sans face.
QFont DialogLabelFont();

// Arial where installed, else the closest sans face.
QFont DialogPathFont();

}  // namespace velmora
