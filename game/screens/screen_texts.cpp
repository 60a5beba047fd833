// Menu, help page and credits: fixed lines at fixed heights, centred on x 400, coloured by their
// place and length.
#include "game/screens/screen_texts.h"

#include <array>

#include "game/screens/rainbow_text.h"
#include "game/world/game_state.h"
#include "game/world/screen_geometry.h"

const char16_t kFarewellAddress[] = u"zirkulon.example";

const char16_t* const kHelpLines[kHelpLineCount] = {
    u"Zirkulon ist ein Plonkoaehnliches",
    u"Spiel, in dem es darum geht, die ",
    u"Baelle mit dem Schlaeger daran zu",
    u"hinder, aus dem Spielfeld zu ",
    u"fliegen.",
    u"Pro 10 getroffenen Baellen kommt ",
    u"einer dazu. Wenn ein Ball das ",
    u"Spielfeld verlaesst, wird ein Punkt",
    u"abgezogen. In einer leiste Ueber ",
    u"der Punktzahl werden die Verlorenen",
    u"Baelle gezaehlt. Ein Verlorener",
    u"Ball kann mit einem Getroffenen",
    u"wieder gut gemacht werden.",
    u"Wenn die Leiste auf 10 steigt,",
    u"ist das Spiel vorbei.",
    u"Mit ESC kann man das Spiel auch",
    u"Beenden",
    u"Tip: Wenn man an einem Guenstigen ",
    u"Zeitpunkt das Spiel selbst beendet",
    u"kann man sich noch ein paar Punkte",
    u"sichern, da man ansonsten immer ",
    u"genau 10 Punkte weniger als die ",
    u"Bisher erreichte Hoechstpunktzahl hat",
};

namespace {
struct TextLine {
  String text;
  int y;
  float scale;
};

// NOTE: the texts are built once; drawing them every frame then allocates nothing.
void DrawLines(const auto& lines) {
  for (const TextLine& line : lines) DrawRainbowText(line.text, kCentreX, line.y, 0, line.scale);
}

const std::array<TextLine, 8>& MenuLines() {
  static const std::array<TextLine, 8> lines = {{
      {u"Zirkulon", 80, 3.0f},
      {u"Leertaste od. ", 180, 2.0f},
      {u"Mausklick", 200, 2.0f},
      {u"zum Starten", 220, 2.0f},
      {u"Escape", 260, 2.0f},
      {u"zum Beenden", 280, 2.0f},
      {u"H - Hilfe", 340, 2.0f},
      {u"Highscore:", 450, 2.0f},
  }};
  return lines;
}

// The help page: a title and 23 lines, the k-th (from 1) at y 97 + 18k. Trailing blanks are part
// of the lines: they move the centre.
const std::array<TextLine, 24>& HelpLines() {
  static const std::array<TextLine, 24> lines = [] {
    std::array<TextLine, 24> built;
    built[0] = {u"Anleitung", 60, 3.0f};
    for (int k = 1; k <= kHelpLineCount; ++k) built[k] = {kHelpLines[k - 1], 97 + 18 * k, 1.3f};
    return built;
  }();
  return lines;
}

const std::array<TextLine, 10>& FarewellLines() {
  static const std::array<TextLine, 10> lines = {{
      {u"Zirkulon", 80, 3.0f},
      {u"von Jorvin", 130, 3.0f},
      {u"Quastmeier", 160, 3.0f},
      {u"Entwickelt im", 210, 3.0f},
      {u"Rahmen des 20.", 240, 3.0f},
      {u"ZelkCodeCompos", 270, 3.0f},
      {u"Public Domain", 330, 3.0f},
      {u"Oktober 2008", 360, 3.0f},
      {u"Source", 430, 3.0f},
      {kFarewellAddress, 460, 3.0f},
  }};
  return lines;
}
}  // namespace

void DrawMenu() {
  DrawLines(MenuLines());
  DrawRainbowText(IntToString(Game().highscore), kCentreX, 470, 0, 2.0f);
}

void DrawHelp() {
  DrawLines(HelpLines());
}

void DrawFarewell() {
  DrawLines(FarewellLines());
}
