// A small program that draws text in the game's window through the real process entry and then
// ends, for tests of what happens to the glyph textures when the program ends. Linked with
// glDeleteTextures routed through here: a deletion with no context current is told on standard
// error.
#include <GL/glx.h>

#include <cstdio>
#include <string>

#include "imagetext/text/imagetext_module.h"
#include "imagetext/text/text.h"
#include "platform/events/system_driver.h"
#include "platform/graphics/graphics.h"
#include "platform/process/startup.h"
#include "render2d/drawing/primitives.h"
#include "render2d/drawing/vex2d.h"
#include "render2d/gl/gl_vex2d_driver.h"

namespace {
void ProbeMain() {
  const auto& args = CommandArgs();
  const std::string mode = args.size() > 1 ? ToUtf8(args[1]) : "draw";
  StartSystemModule();
  StartGraphicsModule();
  StartImageTextModule();
  StartGLVex2DModule();
  SelectGraphicsDriver(GetGLVex2DDriver(), 2);
  if (!OpenGraphics(800, 600, 0, 60, 0)) {
    std::printf("opened=0\n");
    return;
  }
  Cls();
  DrawString(u"Zirkulon", 100, 50);
  // Row 2 of 'Z' is 0xfe: columns 1 to 7 of the cell are ink.
  const int ink = GrabPixmap(103, 52, 1, 1)->ReadPixel(0, 0) & 0xffffff;
  std::printf("opened=1 ink=%06x\n", static_cast<unsigned>(ink));
  std::fflush(stdout);
  if (mode == "close-first") CloseDefaultGraphics();
}
}  // namespace

extern "C" {
void __real_glDeleteTextures(GLsizei count, const GLuint* names);
void __wrap_glDeleteTextures(GLsizei count, const GLuint* names) {
  if (glXGetCurrentContext() == nullptr) std::fputs("glDeleteTextures with no context\n", stderr);
  __real_glDeleteTextures(count, names);
}
}

int main(int argc, char** argv) {
  return ProcessEntry(argc, argv, &ProbeMain);
}
