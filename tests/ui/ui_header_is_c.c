/* Built as C: the dialog header must compile without C++, and without a running application the
   dialogs refuse to show (-1) and the drawing refuses a null painter (0). */
#include <stdio.h>

#include "outlina_ui.h"

int main(void) {
  int32_t mode = 1;
  JWeldOffsetParam offset = {0};
  JVectransShapeParam shape = {0};
  int ok = jWeldDlg(NULL, &mode) == -1 && jWeldOffsetDlg(NULL, &offset) == -1 &&
           jVectransShapeDlg(NULL, &shape) == -1 && mode == 1 &&
           jRectangle(NULL, 0, 0, 9, 9, JRGB(255, 0, 0), JRGB(0, 0, 255), JBS_SOLID) == 0 &&
           JRGB(1, 2, 3) == 0x030201u;
  if (!ok) {
    fprintf(stderr, "dialog header answered wrongly without an application\n");
    return 1;
  }
  return 0;
}
