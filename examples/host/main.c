/* A minimal host: builds a closed square, tags it, moves its start and prints the points. */
#include <stdio.h>

#include <outlina.h>

static void print_path(const char *title, const JVect *path) {
  printf("%s\n", title);
  for (int32_t i = 0; i < jVectGetNum(path); ++i) {
    int32_t mode;
    float x, y;
    jVectGetPoint(path, i, &mode, &x, &y);
    printf("  %d: mode %2d  (%6.2f, %6.2f)  tag %u\n", i, mode, x, y,
           (unsigned)jVectGetVd(path)[i].tag);
  }
}

int main(void) {
  JVect *path = jVectOpen(16);
  if (path == NULL) {
    fprintf(stderr, "could not open a path\n");
    return 1;
  }
  static const float square[5][2] = {{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}};
  for (int i = 0; i < 5; ++i)
    jVectAddPoint(path, JVECT_LAST, i == 0 ? JVM_START : JVM_LINE, square[i][0], square[i][1]);
  jVectSetTag(path, 0, 7);
  print_path("square, tagged 7:", path);

  if (jVectSetStartPos(path, 2) != 1) {
    fprintf(stderr, "could not move the start point\n");
    jVectClose(path);
    return 1;
  }
  print_path("start moved to the third corner:", path);
  jVectClose(path);
  return 0;
}
