#include "app/Menus.h"

namespace tessarin::app {

std::vector<Menus::Node> Menus::tree() {
  return {
      {&fileMenu, nullptr},
      {&saveFileAs, &fileMenu},
      {&initialization, &fileMenu},
      {&fileSeparator1, &fileMenu},
      {&startStop, &fileMenu},
      {&fileSeparator2, &fileMenu},
      {&quit, &fileMenu},
      {&portMenu, nullptr},
      {&com1, &portMenu},
      {&com2, &portMenu},
      {&com3, &portMenu},
      {&com4, &portMenu},
      {&modeMenu, nullptr},
      {&filtered, &modeMenu},
      {&nonFiltered, &modeMenu},
      {&storeMenu, nullptr},
      {&frequencyData, &storeMenu},
      {&phaseData, &storeMenu},
      {&displayMenu, nullptr},
      {&showFrequencyDiff, &displayMenu},
      {&showPhaseDiff, &displayMenu},
      {&displaySeparator, &displayMenu},
      {&showStandardAllan, &displayMenu},
      {&showModifiedAllan, &displayMenu},
      {&showTdev, &displayMenu},
      {&showMtie, &displayMenu},
      {&maskMenu, &displayMenu},
      {&maskNone, &maskMenu},
      {&maskPrc, &maskMenu},
      {&maskPrtcA, &maskMenu},
      {&maskPrtcB, &maskMenu},
      {&maskEprtc, &maskMenu},
      {&maskEec1, &maskMenu},
      {&maskEec2, &maskMenu},
      {&graphicMenu, nullptr},
      {&autoscale, &graphicMenu},
      {&limits, &graphicMenu},
      {&graphicSeparator, &graphicMenu},
      {&title, &graphicMenu},
      {&printMenu, &graphicMenu},
      {&printDataPlot, &printMenu},
      {&printStabilityPlot, &printMenu},
      {&savePictureMenu, &graphicMenu},
      {&saveDataPlotPicture, &savePictureMenu},
      {&saveStabilityPlotPicture, &savePictureMenu},
      {&selectMenu, nullptr},
      {&tau, &selectMenu},
      {&normalize, &selectMenu},
      {&resumeAfterPortLoss, &selectMenu},
      {&aboutMenu, nullptr},
      {&statusLabel, nullptr},
      {&statusText, nullptr},
  };
}

std::vector<MenuItem*> Menus::childrenOf(const MenuItem* parent) {
  std::vector<MenuItem*> children;
  for (const Node& node : tree())
    if (node.parent == parent) children.push_back(node.item);
  return children;
}

MenuItem* Menus::find(const QString& name) {
  for (const Node& node : tree())
    if (node.item->name() == name) return node.item;
  return nullptr;
}

}  // namespace tessarin::app
