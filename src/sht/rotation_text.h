#pragma once

#include <string>
#include <vector>

#include "sht/rotation.h"

// A rotation written as text, angles in degrees (see rotation.h for the sense of every angle):
//   zyz:ALPHA,BETA,GAMMA   R = Rz(ALPHA) Ry(BETA) Rz(GAMMA), Euler angles about the fixed axes
//                          (GAMMA first, then BETA, then ALPHA)
//   ypr:YAW,PITCH,ROLL     R = Rz(YAW) Ry(PITCH) Rx(ROLL), the head tracker's angles: yaw about
//                          +z, then pitch about the turned +y, then roll about the twice turned +x
//                          (the same as roll, pitch, yaw about the fixed axes). Yaw 90 takes +x
//                          (front) to +y (left), pitch 90 takes +x to -z, roll 90 takes +y to +z.
//   axis:X,Y,Z,DEGREES     about the axis (X, Y, Z), which need not be of unit length
// Numbers as C writes them ('.' for the decimal point, whatever the locale), separated by
// commas, with blanks allowed around them. Throws std::invalid_argument, with one line naming the
// text, for anything else: an unknown name, a wrong count, a number that does not read or is not
// finite, or an axis of length 0.
Rotation ParseRotation(const std::string& strText);

// The rotations in the order given: the first is applied first.
Rotation ParseRotations(const std::vector<std::string>& aTexts);
