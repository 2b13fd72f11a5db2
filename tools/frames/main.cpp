// quendleframes: composes the frames of a table of world states through the game's own
// DrawFrame, each once with its texts and once without, and writes them as BMP files
// into the working folder, which holds the game data, with frames.txt listing every
// frame and the rectangles of its texts. Built for Linux and for Windows, so that the
// two platforms' frames can be compared.
#include <cstdio>

#include "tools/frames/scenes.h"

namespace {

bool WriteBoth(const Scene& scene) {
  const std::string name = scene.name;
  return Compose(scene, true) && WriteFrame((name + ".bmp").c_str()) && Compose(scene, false) &&
         WriteFrame((name + "-blank.bmp").c_str());
}

void List(FILE* list, const Scene& scene) {
  fprintf(list, "frame %s\n", scene.name);
  for (const TextBox& box : TextBoxesOf(scene)) {
    fprintf(list, "text %s %ld %ld %ld %ld %s\n", box.centred ? "centre" : "wrap", long(box.rect.left),
            long(box.rect.top), long(box.rect.right), long(box.rect.bottom), box.text.c_str());
  }
}

}  // namespace

int main() {
  if (!OpenStage()) return 1;
  FILE* list = fopen("frames.txt", "wb");
  if (!list) return 1;
  for (const Scene& scene : Scenes()) {
    if (!WriteBoth(scene)) {
      fprintf(stderr, "cannot compose or write %s\n", scene.name);
      return 1;
    }
    List(list, scene);
  }
  return fclose(list) == 0 ? 0 : 1;
}
