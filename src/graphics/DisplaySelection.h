#pragma once

class Console;

// The data plot shows the frequency difference or the phase difference of the samples; the
// choice renames its title and is read by the sample handler.
void mnuDispF_Click(Console& c);
void mnuDispTIE_Click(Console& c);
