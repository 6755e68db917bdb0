#pragma once

#include <cstddef>
#include <string>

class Console;

// Longest reply line the console assembles. The instrument's lines are at most ten characters;
// a line that never ends (noise on the line, a wrong baud rate) stops growing here and the
// characters after the limit are dropped until the next line feed.
inline constexpr std::size_t kMaxReplyLineLength = 4096;

// The serial event: one received character.
void receiveCharacter(Console& c, char received);

// Assembles reply lines from single received characters: a line feed starts a new line, a
// carriage return hands the line over (to the initialization handler, or during a run to the
// sample handler) without clearing it, any other text is appended.
void collectReplyCharacter(Console& c, const std::string& text);
