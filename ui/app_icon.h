// The program's icon, drawn in code so that it needs no image plugin: a sheet
// of paper with a renamed line and an arrow on a blue tile, the same picture
// as the installed data/velmora.svg.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace velmora {

// The icon at size × size pixels.
QPixmap VelmoraPixmap(int size);

// The icon in the usual sizes, for window frames.
QIcon VelmoraIcon();

}  // namespace velmora
