#include "app/Menus.h"

std::vector<Menus::Node> Menus::tree() {
  return {
      {&mnuFile, nullptr},         {&mnuSave, &mnuFile},          {&mnuProgram, &mnuFile},
      {&mnuSte2, &mnuFile},        {&mnuStart, &mnuFile},         {&mnuStep1, &mnuFile},
      {&mnuQuit, &mnuFile},        {&mnuPort, nullptr},           {&mnuCom1, &mnuPort},
      {&mnuCom2, &mnuPort},        {&mnuCom3, &mnuPort},          {&mnuCom4, &mnuPort},
      {&mnuMode, nullptr},         {&mnuFiltered, &mnuMode},      {&mnuNonFiltered, &mnuMode},
      {&mnuPrintFile, nullptr},    {&mnuFreqData, &mnuPrintFile}, {&mnuPhaseData, &mnuPrintFile},
      {&mnuDisplay, nullptr},      {&mnuDispF, &mnuDisplay},      {&mnuDispTIE, &mnuDisplay},
      {&mnuStep3, &mnuDisplay},    {&mnuDispSA, &mnuDisplay},     {&mnuModif, &mnuDisplay},
      {&mnuDispTDEV, &mnuDisplay}, {&mnuDispMTIE, &mnuDisplay},   {&mnuGraphic, nullptr},
      {&mnuAuto, &mnuGraphic},     {&mnuLimits, &mnuGraphic},     {&mnuStep2, &mnuGraphic},
      {&mnuTitle, &mnuGraphic},    {&mnuPrint, &mnuGraphic},      {&mnuPlotF, &mnuPrint},
      {&mnuPlotA, &mnuPrint},      {&mnuSaveP, &mnuGraphic},      {&mnuSaveF, &mnuSaveP},
      {&mnuSaveA, &mnuSaveP},      {&mnuSelect, nullptr},         {&mnuTau, &mnuSelect},
      {&mnuFormat, &mnuSelect},    {&mnuAbout, nullptr},          {&mnuLabel, nullptr},
      {&mnuStatus, nullptr},
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
