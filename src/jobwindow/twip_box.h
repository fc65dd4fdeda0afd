#pragma once
// A place in the window measured in twips, as the window's design gives it.

#include <QRect>

#include "support/ui/twips.h"

namespace gleanery {

struct TwipBox {
    int left = 0, top = 0, width = 0, height = 0;
    QRect pixels() const { return twipRect(left, top, width, height); }
};

}  // namespace gleanery
