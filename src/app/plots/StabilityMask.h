#pragma once

namespace tessarin::app {
class Console;
}

namespace tessarin::app::plots {

// The "Mask" submenu of the Display menu, shown while the stability plot shows TDEV or MTIE:
// "None" or a clock class whose ITU-T mask the curve is held to. The chosen mask is drawn as a
// dashed line over the curve's range of tau, the curve is judged against it at each analysis,
// and the choice is remembered in stabilitymask.txt in the settings folder. Like the measure, it
// only changes the view and stays open during a run.
void chooseMask(Console& c, int index);  // 0: none; i: the i-th of analysis::telecomMaskNames()

// Start-up: the mask chosen last. A missing file leaves none; a file that cannot be read or names
// no mask is said in the status line.
void restoreStabilityMask(Console& c);

// After the measure shown changed: the submenu shows or hides, the line follows the measure.
void showMaskChoice(Console& c);

// After each drawing of the stability curve: the mask line over its range, the verdict, and the
// events "mask-failed" and "mask-met" when the verdict crosses the mask.
void judgeStabilityCurve(Console& c);

// A new run: the verdicts of the last one are forgotten.
void forgetMaskVerdicts(Console& c);

}  // namespace tessarin::app::plots
