#pragma once

#include <vector>

#include "app/UiModel.h"

namespace tessarin::app {

// The main window's menu bar, in menu-bar order. Captions are the console's own ("&" marks the
// access key; the blanks around the top-level captions belong to them).
struct Menus {
  MenuItem fileMenu{"fileMenu", "   &File   "};
  MenuItem saveFileAs{"saveFileAs", "&Save File as"};
  MenuItem initialization{"initialization", "&Initialization"};
  MenuItem fileSeparator1{"fileSeparator1", "-"};
  MenuItem startStop{"startStop", "S&tart"};
  MenuItem fileSeparator2{"fileSeparator2", "-"};
  MenuItem quit{"quit", "&Quit"};

  MenuItem portMenu{"portMenu", " &Port "};
  MenuItem com1{"com1", "Com &1"};
  MenuItem com2{"com2", "Com &2"};
  MenuItem com3{"com3", "Com &3"};
  MenuItem com4{"com4", "Com &4"};

  MenuItem modeMenu{"modeMenu", " &Mode "};
  MenuItem filtered{"filtered", "&Filtered"};
  MenuItem nonFiltered{"nonFiltered", "&Non-Filtered"};

  MenuItem storeMenu{"storeMenu", " S&tore "};
  MenuItem frequencyData{"frequencyData", "&Frequency Data"};
  MenuItem phaseData{"phaseData", "&Phase Data"};

  MenuItem displayMenu{"displayMenu", " Displa&y "};
  MenuItem showFrequencyDiff{"showFrequencyDiff", "&Frequency Diff."};
  MenuItem showPhaseDiff{"showPhaseDiff", "&Phase Diff"};
  MenuItem displaySeparator{"displaySeparator", "-"};
  MenuItem showStandardAllan{"showStandardAllan", "&Standard Allan Dev."};
  MenuItem showModifiedAllan{"showModifiedAllan", "&Modified Allan Dev."};
  MenuItem showTdev{"showTdev", "T&DEV"};
  MenuItem showMtie{"showMtie", "M&TIE"};

  MenuItem graphicMenu{"graphicMenu", "  &Graphic  "};
  MenuItem autoscale{"autoscale", "&Autoscale"};
  MenuItem limits{"limits", "&Limits"};
  MenuItem graphicSeparator{"graphicSeparator", "-"};
  MenuItem title{"title", "&Title"};
  MenuItem printMenu{"printMenu", "&Print"};
  MenuItem printDataPlot{"printDataPlot", "&Data Plot"};
  MenuItem printStabilityPlot{"printStabilityPlot", "&Stability Plot"};
  MenuItem savePictureMenu{"savePictureMenu", "&Save Picture"};
  MenuItem saveDataPlotPicture{"saveDataPlotPicture", "&Data Plot"};
  MenuItem saveStabilityPlotPicture{"saveStabilityPlotPicture", "&Stability Plot"};

  MenuItem selectMenu{"selectMenu", " &Select "};
  MenuItem tau{"tau", "&Tau"};
  MenuItem normalize{"normalize", "&Normalize DUT Frequency"};

  MenuItem aboutMenu{"aboutMenu", " &About "};
  MenuItem statusLabel{"statusLabel", "       Status :"};
  MenuItem statusText{"statusText", ""};

  // One row of the tree: the item and its parent (nullptr for a top-level item).
  struct Node {
    MenuItem* item;
    MenuItem* parent;
  };

  // Every item in menu order, parents before their children.
  std::vector<Node> tree();
  // The children of `parent` in menu order (top-level items for nullptr).
  std::vector<MenuItem*> childrenOf(const MenuItem* parent);
  // The item named `name`, or nullptr.
  MenuItem* find(const QString& name);
};

}  // namespace tessarin::app
