// Keys by the platform's virtual-key codes, so that a back end on the
// platform passes its codes through and others translate theirs. Letters and
// digits are their upper-case ASCII codes ('C' is 0x43).
#pragma once

namespace vx {

constexpr int vkBack = 0x08;
constexpr int vkTab = 0x09;
constexpr int vkReturn = 0x0D;
constexpr int vkShift = 0x10;
constexpr int vkControl = 0x11;
constexpr int vkMenu = 0x12;  // Alt
constexpr int vkEscape = 0x1B;
constexpr int vkSpace = 0x20;
constexpr int vkPrior = 0x21;  // Page Up
constexpr int vkNext = 0x22;   // Page Down
constexpr int vkEnd = 0x23;
constexpr int vkHome = 0x24;
constexpr int vkLeft = 0x25;
constexpr int vkUp = 0x26;
constexpr int vkRight = 0x27;
constexpr int vkDown = 0x28;
constexpr int vkInsert = 0x2D;
constexpr int vkDelete = 0x2E;
constexpr int vkF4 = 0x73;

}  // namespace vx
