// The terminal that shows the live page: the page is redrawn in place on the alternate screen, and
// the terminal is given back as it was (cursor shown, former contents restored) on the way out.
#pragma once

#include <string>

namespace devicesim {

bool StdoutIsTerminal();
// Whether the user's locale writes UTF-8, so the gauges may use block characters.
bool TerminalSpeaksUtf8();

class TerminalScreen {
 public:
  TerminalScreen();
  ~TerminalScreen();
  TerminalScreen(const TerminalScreen&) = delete;
  TerminalScreen& operator=(const TerminalScreen&) = delete;

  // `page` is lines ending in '\n'; each replaces what the previous draw left on its row.
  void Draw(const std::string& page);
};

}  // namespace devicesim
