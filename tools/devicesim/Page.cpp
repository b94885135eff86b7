#include "tools/devicesim/Page.h"

#include <cstdio>

#include "tools/devicesim/Format.h"

namespace devicesim {
namespace {

constexpr int kBarWidth = 40;

std::string GaugeRow(std::size_t index, std::optional<std::uint8_t> byte, bool unicode) {
  char row[64];
  if (byte) {
    std::snprintf(row, sizeof row, "] %6s %%  %3u\n", PercentText(*byte).c_str(), unsigned{*byte});
    return ' ' + std::to_string(index + 1) + " [" + GaugeBar(*byte, kBarWidth, unicode) + row;
  }
  // A channel the line does not carry (nothing yet, or the one-channel device's 2 to 8).
  return ' ' + std::to_string(index + 1) + " [" + std::string(kBarWidth, ' ') + "]      - %    -\n";
}

}  // namespace

std::string RenderPage(const PageState& state) {
  std::string page = "devicesim: " + state.device + ", " + std::to_string(state.baud) + " baud\n";
  page += "mode: ";
  page += state.last ? KindName(state.last->kind) : "waiting for data";
  page += "\n\n";

  for (std::size_t i = 0; i < kChannelCount; ++i) {
    const bool carried = state.last && (i == 0 || state.last->kind != FrameKind::OneByte);
    page += GaugeRow(i, carried ? std::optional<std::uint8_t>(state.last->channels[i]) : std::nullopt, state.unicode);
  }

  char rate[48];
  std::snprintf(rate, sizeof rate, ", %.1f frames/s, ", state.framesPerSecond);
  page += '\n' + CountsText(state.counts) + rate;
  if (state.last) {
    char age[48];
    std::snprintf(age, sizeof age, "last frame %.2f s ago\n",
                  std::chrono::duration<double>(state.now - state.last->receivedAt).count());
    page += age;
  } else {
    page += "no frame yet\n";
  }
  page += "Ctrl+C quits\n";
  return page;
}

}  // namespace devicesim
