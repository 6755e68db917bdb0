#include "app/plots/Printing.h"

#include <cstdint>
#include <optional>

#include "app/Console.h"

namespace tessarin::app::plots {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0;

// Maximises the main window and then the plot's window, and gives the plot a white plot area;
// the destructor puts the black plot area and the window states remembered before back, the
// plot's window first, however the copy ended.
class PrintPose {
 public:
  PrintPose(Console& c, ChildWindow& window, platform::PlotControl& plot, WindowState mainBefore,
            WindowState windowBefore)
      : c_(c), window_(window), plot_(plot), mainBefore_(mainBefore), windowBefore_(windowBefore) {
    c_.windows().mainState.setState(WindowState::Maximized);
    window_.setState(WindowState::Maximized);
    plot_.setPlotAreaColor(kWhite);
  }
  ~PrintPose() {
    plot_.setPlotAreaColor(kBlack);
    window_.setState(windowBefore_);
    c_.windows().mainState.setState(mainBefore_);
  }
  PrintPose(const PrintPose&) = delete;
  PrintPose& operator=(const PrintPose&) = delete;

 private:
  Console& c_;
  ChildWindow& window_;
  platform::PlotControl& plot_;
  const WindowState mainBefore_;
  const WindowState windowBefore_;
};

void printPlot(Console& c, ChildWindow& window, platform::PlotControl& plot) {
  const WindowState mainBefore = c.windows().mainState.state();
  const WindowState windowBefore = window.state();
  const std::optional<int> copies = c.platform().printer.askCopies();
  if (!copies) return;
  bool copied = false;
  {
    PrintPose pose(c, window, plot, mainBefore, windowBefore);
    copied = plot.copyToClipboard();
  }
  if (!copied) {
    c.setStatus(QStringLiteral("Not printed: the plot could not be copied to the clipboard"));
    return;
  }
  const platform::Result<> printed = c.platform().printer.printClipboardPicture(*copies);
  if (!printed) c.setStatus(QStringLiteral("Not printed: ") + printed.reason());
}

}  // namespace

void printDataPlot(Console& c) { printPlot(c, c.windows().dataWindow, c.platform().dataPlot); }

void printStabilityPlot(Console& c) {
  printPlot(c, c.windows().stabilityWindow, c.platform().stabilityPlot);
}

}  // namespace tessarin::app::plots
