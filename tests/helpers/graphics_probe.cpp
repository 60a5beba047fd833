// A small program that opens the game's window through the real process entry, for tests that
// need a whole process: it reports whether the window opened and can then flip frames forever.
#include <csignal>
#include <cstdio>
#include <string>

#include "platform/glx/gl_graphics.h"
#include "platform/graphics/graphics.h"
#include "platform/process/signals.h"
#include "platform/process/startup.h"

namespace {
// A driver whose window creation is interrupted by SIGTERM, noticed by the creation's own wait.
class TerminatedWhileCreating final : public TGraphicsDriver {
 public:
  std::vector<TGraphicsMode> GraphicsModes() override { return {}; }
  std::shared_ptr<TGraphics> AttachGraphics(unsigned long, int) override { return Create(); }
  std::shared_ptr<TGraphics> CreateGraphics(int, int, int, int, int) override { return Create(); }
  void SetGraphics(const std::shared_ptr<TGraphics>&) override {}
  void Flip(int) override {}

 private:
  static std::shared_ptr<TGraphics> Create() {
    raise(SIGTERM);
    RaisePendingTermination();
    return nullptr;
  }
};

void ProbeMain() {
  const auto& args = CommandArgs();
  const std::string mode = args.size() > 1 ? ToUtf8(args[1]) : "open";
  if (mode == "terminated-while-creating" || mode == "terminated-while-attaching") {
    TerminatedWhileCreating driver;
    SelectGraphicsDriver(&driver, 2);
    const bool attach = mode == "terminated-while-attaching";
    const auto graphics = attach ? AttachGraphicsTo(1, 0) : OpenGraphics(800, 600, 0, 60, 0);
    std::printf("opened=%d\n", graphics != nullptr ? 1 : 0);
    return;
  }
  StartGLGraphicsModule();
  // The window that flips forever has a size of its own, so that a test can tell it from the
  // windows of other tests sharing the X server.
  const bool forever = mode == "flip-forever";
  const auto graphics = OpenGLGraphics(forever ? 776 : 800, forever ? 552 : 600, 0, 60, 0);
  std::printf("opened=%d\n", graphics != nullptr ? 1 : 0);
  std::fflush(stdout);
  if (forever && graphics != nullptr) {
    for (;;) FlipFrame(-1);
  }
  // A termination request that only the exit handlers' last poll notices.
  if (mode == "terminated-at-exit") raise(SIGTERM);
}
}  // namespace

int main(int argc, char** argv) {
  return ProcessEntry(argc, argv, &ProbeMain);
}
