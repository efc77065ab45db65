// "System.cfg": one-character settings slots at fixed offsets; "temp.txt":
// the core database's result number. Every access opens, reads or writes in
// place and closes; a file that cannot be opened shows the framework's file
// error box and reads as absent.
#pragma once

#include <optional>
#include <string>

namespace kv::services {

inline constexpr const char* kSystemCfg = "System.cfg";
inline constexpr const char* kTempTxt = "temp.txt";

enum SlotOffset : int {
    kWelcomeSlot = 0,   // '1': show the welcome notice
    kFontFaceSlot = 1,  // '0' 黑体, '1' 华文行楷, '2' 楷体, '3' 宋体
    kFontSizeSlot = 2,  // three characters: tenths of a point, '&' for unused
    kPictureSlot = 5,   // '#' first schematic picture, '*' second
    kHandshakeSlot = 6, // core selection: '1', '2', '*', '#'
};

// What a new System.cfg holds: no welcome notice, the system face at its
// default size, the first schematic picture; no core handshake yet.
inline constexpr const char* kNewSettings = "0&&&&#";
// Creates System.cfg holding kNewSettings when it is missing (every access
// below does so first); an existing file is left as it is.
bool ensureSettingsFile();

// The character at `offset` of System.cfg; nothing when the file is shorter.
std::optional<char> readSlot(int offset);
bool writeSlot(int offset, char c);

// Display font: face digit at offset 1 and size at offsets 2..4.
int fontFacePosition();                  // 0..3; anything else gives 0
int readFontSize();                      // digits before the first non-digit, 0 when none
void writeFont(int facePosition, int size);
// The largest display size (tenths of a point) the font dialog takes: the graphical flyback's
// texts, 20 px apart with the loss note wrapped at 14 characters, stay clear of each other and
// inside the window in every face up to it.
inline constexpr int kLargestDisplayFont = 100;
// The size the graphical flyback draws with: the stored one, at most the largest.
int displayFontSize();
// Face name the graphical flyback draws with; empty (system face) for an unknown digit.
std::string displayFontFace();

// temp.txt bytes 1..6: a number as six characters.
void writeTempNumber(double value);
double readTempNumber();
// The six characters written for a value (zero byte and spaces after a short text).
std::string tempNumberText(double value);
// The standard text-to-double conversion of a byte string: the longest number
// at its start after blanks, 0 when there is none.
double leadingNumber(const std::string& s);

} // namespace kv::services
