// The picture of one envelope shape applied to a frame, used by the shape dialog.
#ifndef OUTLINA_SHAPE_UI_SHAPE_PREVIEW_H
#define OUTLINA_SHAPE_UI_SHAPE_PREVIEW_H

#include <QSize>
#include <cstdint>

class QPainter;

namespace outlina {

// Selectors above this mark the selected thumbnail; the type is the remainder.
constexpr int32_t kSelectedOffset = 100;
// A picture's window is this much wider and higher than the area drawn in: its edge takes one
// pixel on either side. The painter's origin is the first pixel inside the edge.
constexpr int kPictureEdges = 2;

// Draws the frame (x0, y0)-(x1, y1) bent by the shape of the selector into a picture of the given
// window size: white ground (red for a selected thumbnail), the shape in black, fitted to 80 % of
// the picture with room for the bend and y pointing down.
void DrawShapePreview(QPainter *dc, QSize window, float x0, float y0, float x1, float y1,
                      int32_t selector, float strength);

// The same picture for a thumbnail: the bent shape itself is scaled to fill the picture, so that
// it reads at the size of a grid cell.
void DrawShapeThumbnail(QPainter *dc, QSize window, float x0, float y0, float x1, float y1,
                        int32_t selector, float strength);

}  // namespace outlina

#endif
