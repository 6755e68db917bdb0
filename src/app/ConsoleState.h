#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

// Highest sample index a run can reach; the run ends itself one sample earlier.
inline constexpr int kMaxSamples = 1000000;
// Capacity of the Allan deviation result and scratch arrays.
inline constexpr int kMaxLevels = 300000;

// The answer of the last normalization question.
enum class Answer { None, Yes, No };

// The state the console's subsystems share. Arrays keep the instrument's own index ranges
// (element k is sample k) and are sized once, at start-up, so that nothing allocates while
// samples arrive.
struct ConsoleState {
  // Application shell
  QString strSettingFile;
  double dblSettingCode = 0;
  int intDataTypeCode = 0;
  int intPortCode = 0;
  int intFilterCode = 0;
  bool blnClosing = false;
  QString strTauCommand;
  double dblTauMs = 0;
  double dblTauSeconds = 0;

  // Instrument link
  int intPortOpen = 0;
  int intCounting = 0;
  std::string strRxText;
  std::string strReplyLine;
  int intLongReplies = 0;
  std::vector<std::int32_t> lngCountFreq;  // 1 .. 10
  std::vector<double> dblStageSample;      // 0 .. 20
  int intStageIndex = 0;
  int intStageLength = 3;
  double dblSumY = 0, dblSumX = 0, dblSumXY = 0, dblSumXX = 0, dblSlope = 0;
  std::string strLockReply;
  Answer varAnswer = Answer::None;
  double dblCountFreq = 0;
  double dblCountScale = 0;
  double dblCoarseFreq = 0;
  double dblFineFreq = 0;
  std::string strCoarseCommand;
  std::string strFineCommand;
  double dblDutFreq = 0;
  double dblDutFreqRounded = 0;
  double dblProgFreq = 0;
  double dblNominalDut = 0;

  // Measurement run
  QString strDataFile;  // the .DAT file chosen in the save dialog
  int intFileChosen = 0;
  int intInitPending = 0;
  int intRunState = 0;
  int intRunning = 0;
  int intRunStopped = 0;
  int intSampleRejected = 0;
  double dblReading = 0;
  double dblPrevReading = 0;
  double dblSampleIndex = 0;
  std::vector<double> dblFreqData;   // 1 .. 1000000
  std::vector<double> dblPhaseData;  // 0 .. 1000000, element 0 stays 0
  std::vector<double> dblFreqPlot;   // 1 .. 1000000
  std::vector<double> dblPhasePlot;  // 0 .. 1000000
  std::vector<double> dblAdev;       // 1 .. 300000
  std::vector<double> dblAdevTau;    // 1 .. 300000
  std::vector<double> dblDecimated;  // 0 .. 300000
  double dblAnalysisCount = 0;
  double dblFirstFactor = 0;
  double dblFactor = 0;
  double dblTauCurrent = 0;
  double dblLevelOffset = 0;
  double dblAnalysisPeriod = 0;
  double dblFreqOffset = 0;

  // Graphics
  QString strPictureFile;  // the picture file chosen last, offered again by the next save
  // The fixed plot limits taken over at the last run start with "&Limits"
  double dblSampleMin = 0, dblSampleMax = 0, dblDeltaFMin = 0, dblDeltaFMax = 0;
  double dblTauMin = 0, dblTauMax = 0, dblSigmaMin = 0, dblSigmaMax = 0;
};
