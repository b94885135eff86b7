#include "tools/devicesim/Terminal.h"

#include <clocale>
#include <cstdio>
#include <cstring>

#include <langinfo.h>
#include <unistd.h>

namespace devicesim {
namespace {

void Put(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

constexpr const char* kEnter = "\x1b[?1049h\x1b[?25l\x1b[2J";  // alternate screen, cursor hidden
constexpr const char* kLeave = "\x1b[?25h\x1b[?1049l";

}  // namespace

bool StdoutIsTerminal() { return ::isatty(STDOUT_FILENO) == 1; }

bool TerminalSpeaksUtf8() {
  // Only the character type follows the environment; numbers keep the "C" decimal point.
  std::setlocale(LC_CTYPE, "");
  return std::strcmp(::nl_langinfo(CODESET), "UTF-8") == 0;
}

TerminalScreen::TerminalScreen() { Put(kEnter); }

TerminalScreen::~TerminalScreen() { Put(kLeave); }

void TerminalScreen::Draw(const std::string& page) {
  // Overwriting row by row and clearing each row's rest does not flicker as clearing the screen does.
  std::string out = "\x1b[H";
  std::size_t from = 0;
  for (std::size_t end; (end = page.find('\n', from)) != std::string::npos; from = end + 1) {
    out.append(page, from, end - from);
    out += "\x1b[K\n";
  }
  out += "\x1b[J";
  Put(out);
}

}  // namespace devicesim
