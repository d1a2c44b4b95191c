#pragma once
// The program's fixed pictures, drawn once from their descriptions.
#include <QIcon>
#include <QPixmap>
#include <QSize>

#include <vector>

#include "forms/controls.h"
#include "forms/report_text.h"

class QPainter;

// Logical size in pixels of a picture (the block diagram is 1235 x 365).
QSize PictureSize(PictureId id);
// The picture drawn at the given device pixel ratio (crisp at 2).
QPixmap RenderPicture(PictureId id, qreal devicePixelRatio);
// The target icon of all five windows: concentric red and yellow rings, 16 and 32 px (and larger).
QIcon AppIcon();
// Element values on a schematic, in its own pixels, with the painter's
// font (valuePx high) and pen: each above a series element's name or across
// the shunt element from its name (SchematicValues).
void PaintSchematicValues(QPainter& p, const std::vector<SchematicValue>& values, int valuePx);
